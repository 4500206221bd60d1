#pragma once

#include <string>

#include "pages/RecFileData.h"

namespace kpx::test {

// The expected download block, spelled out line by line.
inline std::string Block(const std::string &data, const std::string &copyright, const std::string &standby,
                  const std::string &groupedSize, const std::string &title, const std::string &size,
                  const std::string &disposition)
{
    return "<object data=" + data + " type=\"application/x-mpeg\" copyright=\"" + copyright + "\" \r\n"
           + "    standby=\"" + standby + " (" + groupedSize + "byte)\">\r\n"
           + "\x81\x40<param name=\"title\" value=\"" + title + "\" valuetype=\"data\" />\r\n"
           + "\x81\x40<param name=\"size\" value=\"" + size + "\" valuetype=\"data\" />\r\n"
           + "\x81\x40<param name=\"disposition\" value=\"" + disposition + "\" valuetype=\"data\" />\r\n"
           + "</object>\r\n\r\n";
}

inline TRecFileData Entry(const std::string &name, std::int64_t size)
{
    TRecFileData entry;
    entry.OrgName = name + ".amc";
    entry.CopyName = name + ".amc";
    entry.FileSize = size;
    entry.LinkName = name;
    entry.SaveName = name;
    return entry;
}

} // namespace kpx::test
