// The asset generator: builds the data folder "baseq7" from data/ and from code.
//   zib_assetgen <data folder> <program folder>
//   zib_assetgen --mockup <program folder> <output folder>   (pictures of the menu and levels)
//   zib_assetgen --icons <output folder> <icon name>        (the program's icon, hicolor theme)
#include <iostream>
#include <string>

#include "assetgen/data_folder.h"
#include "assetgen/icons.h"
#include "assetgen/mockup.h"

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--mockup")
        return zib::assetgen::writeMockups(argv[2], argv[3], std::cerr) ? 0 : 1;
    if (argc == 4 && std::string(argv[1]) == "--icons")
        return zib::assetgen::writeIcons(argv[2], argv[3], std::cerr) ? 0 : 1;
    if (argc != 3) {
        std::cerr << "usage: zib_assetgen <data folder> <program folder>\n"
                     "       zib_assetgen --mockup <program folder> <output folder>\n"
                     "       zib_assetgen --icons <output folder> <icon name>\n";
        return 2;
    }
    return zib::assetgen::buildDataFolder(argv[1], argv[2], std::cerr) ? 0 : 1;
}
