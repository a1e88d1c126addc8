# The browser build's libraries, under the names the desktop build gets from
# pkg-config, so that host/ links the same targets in both builds.
# emscripten brings GLFW 3, OpenGL (the fixed-function calls with client-side
# arrays, emulated over WebGL) and OpenAL itself; none of them is an add-on
# port, which an offline emscripten could not fetch.
add_library(PkgConfig::GLFW INTERFACE IMPORTED)
target_link_options(PkgConfig::GLFW INTERFACE -sUSE_GLFW=3)
add_library(OpenGL::GL INTERFACE IMPORTED)
target_link_options(OpenGL::GL INTERFACE -sLEGACY_GL_EMULATION=1)
add_library(PkgConfig::OPENAL INTERFACE IMPORTED)
target_link_options(PkgConfig::OPENAL INTERFACE -lopenal)

# Debian's libstb is built for the machine, not for wasm: the two decoders
# the host uses are compiled here from the same headers.
add_library(vantor_stb STATIC ${CMAKE_CURRENT_LIST_DIR}/stb_decoders.c)
target_include_directories(vantor_stb SYSTEM PUBLIC /usr/include/stb)
# Their code is theirs; its warnings are not ours to fix.
target_compile_options(vantor_stb PRIVATE -w)
add_library(PkgConfig::STB INTERFACE IMPORTED)
target_link_libraries(PkgConfig::STB INTERFACE vantor_stb)

# No debug information in code that every player downloads; -O2 builds
# quickly and runs about as fast as -O3 in a browser.
set(CMAKE_C_FLAGS_RELWITHDEBINFO "-O2 -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O2 -DNDEBUG")
