// The typed word LANG: the menu switches between Czech and English at once, every caption with it,
// and the choice is remembered in ZIB-jazyk.ini beside ZIB.ini for the next start.
#include <iostream>

#include "menu/menu_window.h"
#include "platform/texts.h"

namespace zib {

void MenuWindow::switchLanguage() {
    const Language next =
        currentLanguage() == Language::Czech ? Language::English : Language::Czech;
    setLanguage(next);
    showTexts();
    if (configurationPath_.empty()) return;
    const std::string path = languageFilePath(configurationPath_);
    if (!writeSavedLanguage(path, next))
        std::cerr << format(tr("ZIB: volbu jazyka se nepodařilo uložit do souboru {}."), path)
                  << std::endl;
}

}  // namespace zib
