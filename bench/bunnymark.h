/* The bunnymark's shared parts: the sprites' motion and the frame timing,
 * written in C so that the framework's program (bunnymark.cpp) and the plain
 * OpenGL one (bunnymark_plain.c) move the same sprites the same way and
 * report in one format. */
#ifndef VANTOR_BENCH_BUNNYMARK_H
#define VANTOR_BENCH_BUNNYMARK_H

/* C, compiled as C by bunnymark_plain.c: the C++ spellings do not apply. */
/* NOLINTBEGIN(modernize-*) */

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#define BUNNY_WINDOW_WIDTH 640
#define BUNNY_WINDOW_HEIGHT 480
#define BUNNY_GRAVITY 0.5f
#define BUNNY_WARMUP_FRAMES 10
/* About this many sprites are drawn in all measured frames of one run. */
#define BUNNY_SPRITES_PER_RUN 500000L
#define BUNNY_MIN_FRAMES 10

typedef struct {
  float x, y, vx, vy;
} Bunny;

typedef struct {
  int count;   /* sprites */
  int size;    /* sprite side in pixels */
  int frames;  /* measured frames; 0 picks a count for the sprite number */
  int rotated; /* the framework program draws with DrawImage2 */
} BunnyOptions;

/* bunnymark [N] [SIZE] [FRAMES] [image2] */
static BunnyOptions bunny_options(int argc, char** argv) {
  BunnyOptions o = {20000, 32, 0, 0};
  if (argc > 1) o.count = atoi(argv[1]);
  if (argc > 2) o.size = atoi(argv[2]);
  if (argc > 3) o.frames = atoi(argv[3]);
  if (argc > 4) o.rotated = strcmp(argv[4], "image2") == 0;
  if (o.count < 1) o.count = 1;
  if (o.size < 1) o.size = 1;
  if (o.frames < 1) {
    o.frames = (int)(BUNNY_SPRITES_PER_RUN / o.count);
    if (o.frames < BUNNY_MIN_FRAMES) o.frames = BUNNY_MIN_FRAMES;
  }
  return o;
}

/* The sprite's texel (x, y) as 0xAARRGGBB: an opaque disc in a clear square,
 * so blending does real work. */
static unsigned bunny_texel(int x, int y, int size) {
  const int dx = 2 * x + 1 - size, dy = 2 * y + 1 - size;
  if (dx * dx + dy * dy > size * size) return 0;
  return 0xFF000000u | (unsigned)(x * 255 / size) << 16 | (unsigned)(y * 255 / size) << 8 | 0xC0u;
}

/* The same pseudo-random start on every run of either program. */
static Bunny* bunny_spawn(int count) {
  Bunny* b = (Bunny*)malloc(sizeof(Bunny) * (size_t)count);
  unsigned seed = 12345;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    b[i].x = (float)(seed >> 16 & 511);
    b[i].y = (float)(seed >> 8 & 255);
    b[i].vx = (float)(seed & 15) - 7.5f;
    b[i].vy = (float)(seed >> 4 & 7) - 3.5f;
  }
  return b;
}

/* Falling and bouncing inside the window. */
static void bunny_move(Bunny* b, int count, int size) {
  const float right = (float)(BUNNY_WINDOW_WIDTH - size);
  const float bottom = (float)(BUNNY_WINDOW_HEIGHT - size);
  for (int i = 0; i < count; ++i) {
    Bunny* p = &b[i];
    p->x += p->vx;
    p->y += p->vy;
    p->vy += BUNNY_GRAVITY;
    if (p->x < 0 || p->x > right) {
      p->vx = -p->vx;
      p->x = p->x < 0 ? 0 : right;
    }
    if (p->y > bottom) {
      p->vy *= -0.85f;
      p->y = bottom;
    } else if (p->y < 0) {
      p->vy = 0;
      p->y = 0;
    }
  }
}

static double bunny_seconds(clockid_t clock) {
  struct timespec t;
  clock_gettime(clock, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

static int bunny_compare(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

/* Runs `frame` for the warm-up and the measured frames and prints one line:
 * name, sprites, size, median and mean wall ms per frame, process CPU ms per
 * frame (the driver's threads included). */
static void bunny_measure(const char* name, const BunnyOptions* o, void (*frame)(void*),
                          void* state) {
  for (int i = 0; i < BUNNY_WARMUP_FRAMES; ++i) frame(state);
  double* wall = (double*)malloc(sizeof(double) * (size_t)o->frames);
  const double cpu0 = bunny_seconds(CLOCK_PROCESS_CPUTIME_ID);
  const double start = bunny_seconds(CLOCK_MONOTONIC);
  for (int i = 0; i < o->frames; ++i) {
    const double t = bunny_seconds(CLOCK_MONOTONIC);
    frame(state);
    wall[i] = (bunny_seconds(CLOCK_MONOTONIC) - t) * 1e3;
  }
  const double total = (bunny_seconds(CLOCK_MONOTONIC) - start) * 1e3;
  const double cpu = (bunny_seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0) * 1e3;
  qsort(wall, (size_t)o->frames, sizeof(double), bunny_compare);
  printf("%s sprites=%d size=%d frames=%d median_ms=%.3f mean_ms=%.3f cpu_ms=%.3f\n", name,
         o->count, o->size, o->frames, wall[o->frames / 2], total / o->frames, cpu / o->frames);
  free(wall);
}

/* NOLINTEND(modernize-*) */
#endif
