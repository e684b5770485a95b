#pragma once
// What qv-flash info prints about a loaded image: key: value lines or one JSON object.

#include <string>

#include "image/load_image.h"

namespace qv::cli {

std::string FormatInfoText(const LoadedImage& image, int blockSize);
// The image's object; a refused image gives ImageRefusalJson.
std::string FormatInfoJson(const LoadedImage& image, int blockSize);

// A refused image as one JSON object: exit code, the application's message, reason and line.
std::string ImageRefusalJson(const LoadedImage& image);

// The refusal: the application's message, then the reason with its line where there is one.
std::string FormatRefusal(const LoadedImage& image);

}  // namespace qv::cli
