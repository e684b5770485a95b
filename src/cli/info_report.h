#pragma once
// What qv-flash info prints about a loaded image: key: value lines or one JSON object.

#include <string>

#include "image/load_image.h"

namespace qv::cli {

std::string FormatInfoText(const LoadedImage& image, int blockSize);
std::string FormatInfoJson(const LoadedImage& image, int blockSize);

// The refusal: the application's message, then the reason with its line where there is one.
std::string FormatRefusal(const LoadedImage& image);

}  // namespace qv::cli
