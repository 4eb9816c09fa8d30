#ifndef KESTRUNE_TESTS_SUPPORT_POINT_CODEC_H_
#define KESTRUNE_TESTS_SUPPORT_POINT_CODEC_H_

#include <flutter_linux/flutter_linux.h>

G_BEGIN_DECLS

// A standard message codec with a type of its own, as an application
// defines one: a point, the type byte 128 and two float64 coordinates with
// no padding. It reads a point as a float list of two elements and writes
// every such list as a point; everything else is standard, at any depth.
G_DECLARE_FINAL_TYPE(TestPointCodec,
                     test_point_codec,
                     TEST,
                     POINT_CODEC,
                     FlStandardMessageCodec)

constexpr int kTestPointTypeByte = 128;

TestPointCodec* test_point_codec_new(void);

G_END_DECLS

#endif  // KESTRUNE_TESTS_SUPPORT_POINT_CODEC_H_
