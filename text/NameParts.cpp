#include "text/NameParts.h"

#include <cstdio>

namespace kpx {

std::string_view BaseName(std::string_view fileName)
{
    return fileName.substr(0, fileName.rfind('.'));
}

std::string_view Extension(std::string_view fileName)
{
    const size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : fileName.substr(dot);
}

std::string ZeroPadded(int value, int width)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

} // namespace kpx
