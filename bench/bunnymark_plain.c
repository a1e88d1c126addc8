/* The bunnymark's yardstick: the same sprites drawn by a plain C program
 * with raw OpenGL client arrays, in a window configured as the game's (not
 * resizable, no depth or stencil buffer), in batches of the framework's size.
 *
 * Usage: bench_bunnymark_plain [N] [SIZE] [FRAMES]; prints one line. */
#include <GL/gl.h>
#include <GLFW/glfw3.h>

#include "bench/bunnymark.h"

#define PLAIN_BATCH_QUADS 256

typedef struct {
  float x, y, u, v;
  unsigned char r, g, b, a;
} PlainVertex;

typedef struct {
  GLFWwindow* window;
  Bunny* bunnies;
  BunnyOptions options;
  PlainVertex vertices[PLAIN_BATCH_QUADS * 4];
  unsigned short indices[PLAIN_BATCH_QUADS * 6];
} Plain;

static GLuint plain_texture(int size) {
  unsigned* texels = (unsigned*)malloc(sizeof(unsigned) * (size_t)(size * size));
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) texels[y * size + x] = bunny_texel(x, y, size);
  }
  GLuint texture;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size, size, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels);
  free(texels);
  return texture;
}

static void plain_setup(Plain* p) {
  for (int q = 0; q < PLAIN_BATCH_QUADS; ++q) {
    const unsigned short first = (unsigned short)(q * 4);
    const unsigned short quad[6] = {first, first + 1, first + 2, first, first + 2, first + 3};
    for (int i = 0; i < 6; ++i) p->indices[q * 6 + i] = quad[i];
  }
  glViewport(0, 0, BUNNY_WINDOW_WIDTH, BUNNY_WINDOW_HEIGHT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, BUNNY_WINDOW_WIDTH, BUNNY_WINDOW_HEIGHT, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(2, GL_FLOAT, sizeof(PlainVertex), &p->vertices[0].x);
  glTexCoordPointer(2, GL_FLOAT, sizeof(PlainVertex), &p->vertices[0].u);
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(PlainVertex), &p->vertices[0].r);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_TEXTURE_2D);
  plain_texture(p->options.size);
}

static void plain_put(PlainVertex* v, float x, float y, float u, float tv) {
  v->x = x;
  v->y = y;
  v->u = u;
  v->v = tv;
  v->r = v->g = v->b = v->a = 255;
}

static void plain_frame(void* state) {
  Plain* p = (Plain*)state;
  const int n = p->options.count;
  const float s = (float)p->options.size;
  bunny_move(p->bunnies, n, p->options.size);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  int quads = 0;
  for (int i = 0; i < n; ++i) {
    PlainVertex* v = &p->vertices[quads * 4];
    const float x = p->bunnies[i].x, y = p->bunnies[i].y;
    plain_put(&v[0], x, y, 0, 0);
    plain_put(&v[1], x + s, y, 1, 0);
    plain_put(&v[2], x + s, y + s, 1, 1);
    plain_put(&v[3], x, y + s, 0, 1);
    if (++quads == PLAIN_BATCH_QUADS || i == n - 1) {
      glDrawElements(GL_TRIANGLES, quads * 6, GL_UNSIGNED_SHORT, p->indices);
      quads = 0;
    }
  }
  glfwSwapBuffers(p->window);
  glfwPollEvents();
}

int main(int argc, char** argv) {
  static Plain plain;
  plain.options = bunny_options(argc, argv);
  if (!glfwInit()) return 1;
  glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
  glfwWindowHint(GLFW_DEPTH_BITS, 0);
  glfwWindowHint(GLFW_STENCIL_BITS, 0);
  plain.window = glfwCreateWindow(BUNNY_WINDOW_WIDTH, BUNNY_WINDOW_HEIGHT, "bunnymark", NULL, NULL);
  if (!plain.window) return 1;
  glfwMakeContextCurrent(plain.window);
  glfwSwapInterval(0);
  plain.bunnies = bunny_spawn(plain.options.count);
  plain_setup(&plain);
  bunny_measure("plain", &plain.options, plain_frame, &plain);
  free(plain.bunnies);
  glfwTerminate();
  return 0;
}
