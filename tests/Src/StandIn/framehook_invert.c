/* A frame-hook library for the tests. Process inverts the luma plane of the picture it is
   given; with the argument "add=N" it adds N (wrapping) instead. Configure keeps its
   arguments so the tests can see what arrived; counters tell how often each entry ran.
   Built without Configure (FRAMEHOOK_NO_CONFIGURE) or without Process
   (FRAMEHOOK_NO_PROCESS) for the loader's other paths. */
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
  uint8_t *data[4];
  int linesize[4];
} HookPicture;

typedef struct {
  int add; /* 0: invert */
} HookContext;

int framehook_configured = 0;
int framehook_processed = 0;
int framehook_released = 0;
int64_t framehook_last_pts = 0;
int framehook_last_pix_fmt = -1;
static char last_args[1024];

const char *framehook_last_args(void) { return last_args; }

#ifndef FRAMEHOOK_NO_CONFIGURE
int Configure(void **ctxp, int argc, char *argv[]) {
  HookContext *ctx;
  int i;
  size_t used = 0;
  last_args[0] = 0;
  for (i = 1; i < argc; ++i) {
    size_t n = strlen(argv[i]);
    if (used + n + 2 >= sizeof last_args) break;
    if (used) last_args[used++] = ';';
    memcpy(last_args + used, argv[i], n + 1);
    used += n;
  }
  for (i = 1; i < argc; ++i)
    if (strcmp(argv[i], "fail") == 0) return -1;
  ctx = (HookContext *)calloc(1, sizeof *ctx);
  if (!ctx) return -1;
  for (i = 1; i < argc; ++i)
    if (strncmp(argv[i], "add=", 4) == 0) ctx->add = atoi(argv[i] + 4);
  *ctxp = ctx;
  ++framehook_configured;
  return 0;
}
#endif

#ifndef FRAMEHOOK_NO_PROCESS
void Process(void *vctx, HookPicture *pict, int pix_fmt, int width, int height, int64_t pts) {
  const HookContext *ctx = (const HookContext *)vctx;
  int x, y;
  for (y = 0; y < height; ++y) {
    uint8_t *row = pict->data[0] + (ptrdiff_t)y * pict->linesize[0];
    for (x = 0; x < width; ++x) row[x] = ctx && ctx->add ? (uint8_t)(row[x] + ctx->add) : (uint8_t)(255 - row[x]);
  }
  framehook_last_pts = pts;
  framehook_last_pix_fmt = pix_fmt;
  ++framehook_processed;
}
#endif

void Release(void *ctx) {
  free(ctx);
  ++framehook_released;
}
