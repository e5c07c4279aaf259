/* Frame-hook plug-ins for the tests. HOOK_KIND selects which entry points a
   build exports: 1 all three (inverts the first plane), 2 no Process,
   3 Process only, 4 a Configure that fails. */
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
  uint8_t* data[4];
  int linesize[4];
} HookPicture;

typedef struct {
  int argc;
  int frames;
} Ctx;

#if HOOK_KIND != 3
int Configure(void** ctx, int argc, char* argv[]) {
  (void)argv;
#if HOOK_KIND == 4
  (void)ctx;
  (void)argc;
  return 1;
#else
  Ctx* c = (Ctx*)calloc(1, sizeof(Ctx));
  if (!c) return -1;
  c->argc = argc;
  *ctx = c;
  return 0;
#endif
}
#endif

#if HOOK_KIND != 2
void Process(void* ctx, HookPicture* pict, int pix_fmt, int width, int height, int64_t pts) {
  (void)pix_fmt;
  (void)pts;
  if (ctx) ((Ctx*)ctx)->frames++;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = pict->data[0] + (size_t)y * pict->linesize[0];
    for (int x = 0; x < width; ++x) row[x] = (uint8_t)(255 - row[x]);
  }
}
#endif

void Release(void* ctx) { free(ctx); }
