#include "assetgen/picture_files.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "assetgen/bmp_writer.h"
#include "assetgen/gif_writer.h"

namespace zib::assetgen {

bool writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool writePicture(Graphics& graphics, const Canvas& picture, const std::string& path) {
    std::string ext = path.substr(path.find_last_of('.') + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == "gif") return writeBytes(path, encodeGif(picture));
    if (ext == "bmp" || ext == "dat") return writeBytes(path, encodeBmp24(picture));
    return graphics.savePicture(picture, path);
}

}  // namespace zib::assetgen
