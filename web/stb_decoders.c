// The browser build's stb_image, stb_image_write and stb_vorbis: their
// implementations, in a translation unit of their own because stb_vorbis's
// leaks one-letter macros. The desktop build links the same code from
// Debian's libstb instead.
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#include <stb_vorbis.h>
