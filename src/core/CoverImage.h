// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A song's cover made fit for a player: a JPEG no wider or higher than a limit, decoded with
// FFmpeg's image decoders, scaled with libswscale and encoded with its JPEG encoder.

#include <string>

namespace stavio {

constexpr int kCoverMaxSide = 500;

// The picture (bytes of any image format FFmpeg decodes; codecId an AVCodecID) as a JPEG
// within maxSide x maxSide, its proportions kept. A JPEG that fits already is kept as it is.
// Empty when the picture cannot be decoded, or is too large to decode within a worker's
// memory. width and height, when known, let a large JPEG decode at a fraction of its size.
std::string CoverJpeg(const std::string& picture, int codecId, int width = 0, int height = 0,
                      int maxSide = kCoverMaxSide);

} // namespace stavio
