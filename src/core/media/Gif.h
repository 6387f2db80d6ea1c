#pragma once

#include "media/ByteSource.h"
#include "media/Image.h"

// The GIF reader: GIF87a and GIF89a, first image only.
namespace vondrix::media {

// Fills the record from the file at image.path: display name, file size,
// signature, background index, the size, depth and colour table of the
// first image (those of the logical screen when there is no image), and
// the image descriptor's flags. A 1-bit picture always gets black and white.
// Ok, CannotOpen, BadFormat (no GIF signature, or fewer than 13 bytes) or
// Truncated (image descriptor or a colour table cut short).
ImageResult gifInfo(Image& image);
ImageResult gifInfo(Image& image, ByteSource& source);

// Decodes the first image of the file at image.path into rows at the bitmap
// depth of image.sourceBits (1, 4 or 8 bits a pixel, padded to the stride
// of rowStride()), handed to `putRow` in the order the file holds them
// (interlace order for interlaced images). A 1-bit picture's bits are set
// for the lighter of its two colours, so that it keeps its look on the
// bitmap's fixed black and white. `image` must be the record that
// gifInfo filled: an image whose size or depth differs from it is refused
// as BadFormat. Ok, CannotOpen, BadFormat (not a GIF, no image, corrupt or
// cut-off picture data, an image of zero size), Truncated (image
// descriptor cut short), OutOfMemory, RowRefused.
ImageResult gifLoad(Image& image, const RowSink& putRow);
ImageResult gifLoad(Image& image, ByteSource& source, const RowSink& putRow);

}  // namespace vondrix::media
