#include "lookup/ui/CoverImage.h"

#include "shell/PictureWithin.h"

namespace {
// About the size of a paperback's cover on the screen.
constexpr QSize kCoverBox(240, 320);
} // namespace

QImage CoverImage(const QByteArray& bytes) {
    return PictureWithin(bytes, kCoverBox);
}
