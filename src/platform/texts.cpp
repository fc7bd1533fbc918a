// The game's texts: the language choice, the catalogue (a gettext .mo file read by our own small
// reader, so that no generated locale of the machine is needed) and the lookup.
#include "platform/texts.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <unordered_map>

#include "platform/files.h"
#include "platform/user_folders.h"

namespace zib {
namespace {

constexpr const char* kLanguageFileName = "ZIB-jazyk.ini";
constexpr size_t kLargestCatalogue = 4 << 20;

std::string lowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string trimmed(std::string_view s) {
    const char* space = " \t\r\n";
    const size_t first = s.find_first_not_of(space);
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(space) - first + 1));
}

// The language of a locale name ("cs_CZ.UTF-8", "en", "C"): nullopt for C and POSIX, which name
// none.
std::optional<Language> localeLanguage(std::string_view locale) {
    const std::string code = lowerCase(locale.substr(0, locale.find_first_of("_.@")));
    if (code.empty() || code == "c" || code == "posix") return std::nullopt;
    return code == "cs" || code == "sk" ? Language::Czech : Language::English;
}

// A catalogue: the .mo file's bytes and its entries, keyed by the original (for a plural entry the
// singular, a NUL and the plural), valued by the translation (for a plural entry its forms joined
// by NULs).
struct Catalogue {
    std::string bytes;
    std::unordered_map<std::string_view, std::string_view> entries;
};

// Reads a .mo file; every offset is checked against the file's size. An empty catalogue when the
// file is missing or malformed: the texts then stay Czech.
void readCatalogue(const std::string& path, Catalogue& out) {
    if (path.empty() || readRegularFile(path, out.bytes, kLargestCatalogue) != FileRead::Ok) return;
    const std::string& b = out.bytes;
    if (b.size() < 28) return;
    auto word = [&b](size_t at, bool swapped) -> uint32_t {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte =
                static_cast<uint8_t>(b[at + static_cast<size_t>(swapped ? i : 3 - i)]);
            v = (v << 8) | byte;
        }
        return v;
    };
    bool swapped = false;
    if (word(0, false) != 0x950412deU) {
        if (word(0, true) != 0x950412deU) return;
        swapped = true;
    }
    const uint64_t count = word(8, swapped);
    const uint64_t originals = word(12, swapped);
    const uint64_t translations = word(16, swapped);
    if (originals + count * 8 > b.size() || translations + count * 8 > b.size()) return;
    auto text = [&](uint64_t table, uint64_t i, std::string_view& s) {
        const uint64_t length = word(static_cast<size_t>(table + i * 8), swapped);
        const uint64_t offset = word(static_cast<size_t>(table + i * 8 + 4), swapped);
        if (offset + length >= b.size() || b[static_cast<size_t>(offset + length)] != '\0')
            return false;
        s = std::string_view(b).substr(static_cast<size_t>(offset), static_cast<size_t>(length));
        return true;
    };
    for (uint64_t i = 0; i < count; ++i) {
        std::string_view original, translation;
        if (!text(originals, i, original) || !text(translations, i, translation)) continue;
        if (original.empty() || translation.empty()) continue;  // the header, an empty entry
        out.entries.emplace(original, translation);
    }
}

std::atomic<Language> current{Language::Czech};

// The English catalogue, read once and kept for the whole run (texts handed out point into it).
const Catalogue& english() {
    static const Catalogue* loaded = [] {
        auto* c = new Catalogue;
        readCatalogue(catalogueFile(Language::English), *c);
        return c;
    }();
    return *loaded;
}

// The i-th of the NUL-separated forms, or the last one there is.
std::string_view form(std::string_view forms, size_t i) {
    for (; i > 0; --i) {
        const size_t cut = forms.find('\0');
        if (cut == std::string_view::npos) break;
        forms.remove_prefix(cut + 1);
    }
    return forms.substr(0, forms.find('\0'));
}

}  // namespace

const char* languageCode(Language language) {
    return language == Language::English ? "en" : "cs";
}

std::optional<Language> languageNamed(std::string_view word) {
    const std::string w = lowerCase(trimmed(word));
    if (w == "cs" || w == "cz" || w == "sk" || w == "czech" || w == "česky") return Language::Czech;
    if (w == "en" || w == "english") return Language::English;
    return std::nullopt;
}

LanguageSources environmentLanguageSources() {
    auto get = [](const char* name) {
        const char* v = std::getenv(name);
        return std::string(v ? v : "");
    };
    LanguageSources s;
    s.zibLanguage = get("ZIB_LANGUAGE");
    s.languageList = get("LANGUAGE");
    s.lcAll = get("LC_ALL");
    s.lcMessages = get("LC_MESSAGES");
    s.lang = get("LANG");
    return s;
}

Language chooseLanguage(const LanguageSources& s) {
    if (auto named = languageNamed(s.option)) return *named;
    if (auto named = languageNamed(s.zibLanguage)) return *named;
    if (s.saved) return *s.saved;
    std::string_view list = s.languageList;
    while (!list.empty()) {
        const size_t cut = list.find(':');
        const std::string_view entry = list.substr(0, cut);
        const std::string code = lowerCase(entry.substr(0, entry.find_first_of("_.@")));
        if (code == "cs" || code == "sk") return Language::Czech;
        if (code == "en") return Language::English;
        list = cut == std::string_view::npos ? std::string_view() : list.substr(cut + 1);
    }
    for (const std::string* locale : {&s.lcAll, &s.lcMessages, &s.lang}) {
        if (locale->empty()) continue;
        return localeLanguage(*locale).value_or(Language::Czech);
    }
    return Language::Czech;
}

Language currentLanguage() {
    return current.load();
}

void setLanguage(Language language) {
    if (language == Language::English) english();
    current.store(language);
}

std::string catalogueFile(Language language) {
    const std::string relative =
        std::string("locale/") + languageCode(language) + "/LC_MESSAGES/zib.mo";
    const std::string program = programFolder();
    if (auto beside = resolvePath(program, relative)) return *beside;
    // PREFIX/share/locale for a program in PREFIX/games or PREFIX/bin.
    const size_t cut = program.find_last_of('/');
    if (cut != std::string::npos && cut > 0) {
        if (auto installed = resolvePath(program.substr(0, cut) + "/share", relative))
            return *installed;
    }
    return {};
}

const char* tr(const char* czech) {
    if (current.load() == Language::Czech) return czech;
    const auto& entries = english().entries;
    const auto found = entries.find(czech);
    return found == entries.end() ? czech : found->second.data();
}

const char* trc(const char* context, const char* czech) {
    if (current.load() == Language::Czech) return czech;
    // gettext's key of a text with a context: the context, EOT, the text.
    std::string key(context);
    key += '\x04';
    key += czech;
    const auto& entries = english().entries;
    const auto found = entries.find(key);
    return found == entries.end() ? czech : found->second.data();
}

const char* trn(const char* one, const char* few, const char* many, long long n) {
    if (current.load() == Language::Czech) {
        if (n == 1) return one;
        return n >= 2 && n <= 4 ? few : many;
    }
    std::string key(one);
    key += '\0';
    key += many;
    const auto& entries = english().entries;
    const auto found = entries.find(key);
    if (found == entries.end()) return n == 1 ? one : many;
    // The forms lie NUL-separated in the file's bytes, each ended by its own NUL.
    return form(found->second, n == 1 ? 0 : 1).data();
}

std::string format(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
    std::string out;
    auto next = arguments.begin();
    size_t at = 0;
    while (at < pattern.size()) {
        const size_t mark = pattern.find("{}", at);
        if (mark == std::string_view::npos || next == arguments.end()) {
            out += pattern.substr(at);
            break;
        }
        out += pattern.substr(at, mark - at);
        out += *next++;
        at = mark + 2;
    }
    return out;
}

std::string languageFilePath(const std::string& configurationPath) {
    return (std::filesystem::path(configurationPath).parent_path() / kLanguageFileName).string();
}

std::optional<Language> readSavedLanguage(const std::string& path) {
    std::string text;
    if (readRegularFile(path, text, 4096) != FileRead::Ok) return std::nullopt;
    const std::string line = trimmed(std::string_view(text).substr(0, text.find('\n')));
    if (line == "cs") return Language::Czech;
    if (line == "en") return Language::English;
    return std::nullopt;
}

bool writeSavedLanguage(const std::string& path, Language language) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (!folder.empty() && !makeFolders(folder)) return false;
    return writeFileAtomically(path, std::string(languageCode(language)) + "\r\n");
}

}  // namespace zib
