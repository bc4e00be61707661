/* A C program that reaches the library only through its public header. */
#include "tarvo.h"

#include <stdio.h>
#include <string.h>

static int passed, failed;

#define CHECK(condition)                                                      \
    do {                                                                      \
        if (condition) {                                                      \
            ++passed;                                                         \
        } else {                                                              \
            ++failed;                                                         \
            fprintf(stdout, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
        }                                                                     \
    } while (0)

/* A 3 x 2 grey picture, top row 1 2 3, bottom row 4 5 6. */
static int writeGreyPicture(const char* path)
{
    static const char pgm[] = "P5\n3 2\n255\n\1\2\3\4\5\6";
    FILE* f = fopen(path, "wb");
    if (!f)
        return 0;
    fwrite(pgm, 1, sizeof pgm - 1, f);
    return fclose(f) == 0;
}

int main(int argc, char** argv)
{
    const char* dir = argc > 1 ? argv[1] : ".";
    char path[4096];
    ext_tarvo_fmt format;
    unsigned char bits[64];
    ext_tarvo_frame frame;
    int32_t handle;

    snprintf(path, sizeof path, "%s/c_api_picture.pgm", dir);
    CHECK(writeGreyPicture(path));

    /* failures: fixed values */
    CHECK(ext_tarvo_createVSGrab("test") == -1);
    CHECK(ext_tarvo_createVSFile("no-extension") == -1);
    CHECK(ext_tarvo_getFmt(777, &format) == -1);
    CHECK(ext_tarvo_tell(777) == -1);
    CHECK(ext_tarvo_size(777) == 0);
    CHECK(ext_tarvo_fps(777) == 0.0);
    CHECK(strcmp(ext_tarvo_type(777), "<none>") == 0);
    CHECK(strcmp(ext_tarvo_asciiDescriptor(777), "<none>") == 0);
    CHECK(ext_tarvo_destroy(777) == 0);

    /* a still image, end to end */
    handle = ext_tarvo_createVSFile(path);
    CHECK(handle == 0);
    CHECK(ext_tarvo_size(handle) == 1);
    CHECK(ext_tarvo_fps(handle) == 0.0);
    CHECK(strcmp(ext_tarvo_type(handle), "null") == 0);
    CHECK(strcmp(ext_tarvo_asciiDescriptor(handle), path) == 0);
    CHECK(ext_tarvo_getFmt(handle, &format) == 0);
    CHECK(format.width == 3 && format.height == 2 && format.szPixel == 1 && format.szLine == 3);
    memset(bits, 0xEE, sizeof bits);
    frame.bits = bits;
    frame.msDayUtc = -1;
    CHECK(ext_tarvo_getFrame(handle, &frame) == 0);
    CHECK(memcmp(bits, "\4\5\6\1\2\3", 6) == 0); /* bottom row first */
    CHECK(bits[6] == 0xEE);
    CHECK(frame.msDayUtc == 0);
    CHECK(ext_tarvo_seek(handle, 5) == 0);
    CHECK(ext_tarvo_tell(handle) == 0);
    CHECK(ext_tarvo_destroy(handle) == 0);
    CHECK(ext_tarvo_size(handle) == 0);
    CHECK(ext_tarvo_createVSFile(path) == 1);
    CHECK(ext_tarvo_destroy(1) == 0);

    remove(path);
    printf("%d passed, %d failed\n", passed, failed);
    return failed != 0;
}
