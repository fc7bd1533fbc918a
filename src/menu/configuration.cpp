#include "menu/configuration.h"

#include <filesystem>
#include <limits>
#include <optional>

#include "game/key_slots.h"
#include "platform/data_folder.h"
#include "platform/fields.h"
#include "platform/files.h"
#include "platform/texts.h"
#include "platform/user_folders.h"
#include "state/game_mode.h"

namespace zib {

namespace {

constexpr const char* kFileName = "ZIB.ini";
constexpr int kFieldCount = 13;
constexpr int kGaugeDefaultPosition = 8;  // gameSpeed Int((15 - 8) * 100 / 15) = 46

std::string damagedMessage(const std::string& why) {
    return format(tr("Soubor ZIB.ini je poškozený ({}), použije se výchozí nastavení. Při ukončení "
                     "hry se poškozený soubor uschová jako ZIB.ini.bad."),
                  why);
}

// Reads the numeric fields one after another and remembers the first fault.
class ConfigurationParser {
  public:
    explicit ConfigurationParser(const std::string& text) : reader_(text) {}

    std::optional<int> number(long long low, long long high) {
        if (!fault_.empty()) return std::nullopt;
        bool notANumber = false;
        std::optional<long long> value = reader_.readNumber(&notANumber);
        if (!value) {
            if (notANumber)
                fault_ = format(tr("{} není číslo"), position());
            else
                fault_ = tooFewFields();
            return std::nullopt;
        }
        if (*value < low || *value > high) {
            fault_ =
                *value < low
                    ? format(tr("{} je mimo rozsah, nejméně {}"), position(), std::to_string(low))
                    : format(tr("{} je mimo rozsah, nejvýše {}"), position(), std::to_string(high));
            return std::nullopt;
        }
        ++fieldsRead_;
        return static_cast<int>(*value);
    }

    std::optional<std::string> text() {
        if (!fault_.empty()) return std::nullopt;
        std::optional<std::string> value = reader_.readText();
        if (!value) {
            fault_ = tooFewFields();
            return std::nullopt;
        }
        ++fieldsRead_;
        return value;
    }

    const std::string& fault() const { return fault_; }

  private:
    std::string tooFewFields() const {
        return format(tr("obsahuje jen {} z {} údajů"), std::to_string(fieldsRead_),
                      std::to_string(kFieldCount));
    }

    std::string position() const {
        return format(tr("údaj č. {} na řádku {}"), std::to_string(fieldsRead_ + 1),
                      std::to_string(reader_.line()));
    }

    FieldReader reader_;
    int fieldsRead_ = 0;
    std::string fault_;
};

// The level name as a field that reads back as itself. Only names that would otherwise split
// (a comma, a line end) or lose their leading blanks go in quotes; a name with a double quote
// reads back unquoted, since the reader ends a quoted field at the next quote.
std::string levelNameField(const std::string& name) {
    bool quote = name.find_first_of(",\r\n") != std::string::npos ||
                 (!name.empty() && (name.front() == ' ' || name.front() == '\t'));
    return quote ? '"' + name + '"' : name;
}

}  // namespace

Settings defaultSettings() {
    Settings settings;
    settings.keyBindings = kDefaultKeyBindings;
    settings.gameSpeed = (15 - kGaugeDefaultPosition) * 100 / 15;
    settings.levelName.clear();
    settings.growthPerFood = 5;
    settings.startLength = 10;
    settings.gameMode = modeNumber(GameMode::Classic);
    return settings;
}

ConfigurationLoad readConfiguration(const std::string& text) {
    constexpr long long kIntLow = std::numeric_limits<int>::min();
    constexpr long long kIntHigh = std::numeric_limits<int>::max();
    ConfigurationParser parser(text);
    Settings read;
    for (int& key : read.keyBindings) {
        // Key codes are 16-bit values.
        std::optional<int> code =
            parser.number(std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
        if (!code) break;
        key = *code;
    }
    // A speed, growth or start length too large for any game to use is not a setting but a slip
    // of whoever edited the file: it gets the mend of any other damage (one message, the
    // defaults, the file kept as ZIB.ini.bad). Clamping it instead would leave the menu showing
    // and EXIT writing a value the game does not play, and nobody would learn of it.
    std::optional<int> speed = parser.number(kIntLow, kLargestGameSpeed);
    std::optional<std::string> level = parser.text();
    std::optional<int> growth = parser.number(kIntLow, kLargestGrowthPerFood);
    std::optional<int> start = parser.number(kIntLow, kLargestStartLength);
    std::optional<int> mode = parser.number(kIntLow, kIntHigh);

    ConfigurationLoad load;
    if (!parser.fault().empty()) {
        load.status = ConfigurationStatus::Damaged;
        load.settings = defaultSettings();
        load.message = damagedMessage(parser.fault());
        return load;
    }
    read.gameSpeed = *speed;
    read.levelName = *level;
    read.growthPerFood = *growth;
    read.startLength = *start;
    read.gameMode = *mode;
    load.status = ConfigurationStatus::Ok;
    load.settings = read;
    return load;
}

ConfigurationLoad loadConfigurationFile(const std::string& path) {
    ConfigurationLoad load;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        load.status = ConfigurationStatus::Missing;
        load.settings = defaultSettings();
        load.message = tr("Soubor ZIB.ini nebyl nalezen, použije se výchozí nastavení.");
    } else if (const Result<std::string> text = readWholeFile(path)) {
        load = readConfiguration(*text);
    } else {
        load.status = ConfigurationStatus::Damaged;
        load.settings = defaultSettings();
        load.message = damagedMessage(tr("nelze jej přečíst"));
    }
    load.path = path;
    return load;
}

std::string configurationFilePath() {
    // A ZIB.ini in the current folder wins, as it always did; else the program's own place for it.
    if (std::optional<std::string> here = resolvePath("", kFileName)) return *here;
    return settingsFile(kFileName);
}

ConfigurationLoad loadConfiguration() {
    return loadConfigurationFile(configurationFilePath());
}

std::string writeConfiguration(const Settings& settings) {
    std::string out;
    for (size_t i = 0; i < settings.keyBindings.size(); ++i) {
        if (i > 0) out += ',';
        out += std::to_string(settings.keyBindings[i]);
    }
    out += "\r\n";
    out += std::to_string(settings.gameSpeed) + ',' + levelNameField(settings.levelName) + ',' +
           std::to_string(settings.growthPerFood) + ',' + std::to_string(settings.startLength) +
           ',' + std::to_string(settings.gameMode) + "\r\n";
    return out;
}

Status saveConfiguration(const std::string& path, const Settings& settings, bool keepDamagedCopy) {
    std::string notes;
    if (keepDamagedCopy) {
        // Beside the file, under the name the start-up message gave, whatever the file's case.
        std::string copy = (std::filesystem::path(path).parent_path() / "ZIB.ini.bad").string();
        const Result<std::string> damaged = readWholeFile(path);
        if (!damaged || !writeFileAtomically(copy, *damaged))
            notes = format(damaged ? tr("Poškozený soubor ZIB.ini se nepodařilo uschovat jako {} "
                                        "(zápis selhal).")
                                   : tr("Poškozený soubor ZIB.ini se nepodařilo uschovat jako {} "
                                        "(nelze jej přečíst)."),
                           copy);
    }
    // The player's settings folder (an installed game's) comes into being at the first EXIT; any
    // other missing folder is a fault to report.
    if (const std::string own = userConfigFolder();
        !own.empty() && std::filesystem::path(path).parent_path() == own)
        makeFolders(own);
    if (!writeFileAtomically(path, writeConfiguration(settings))) {
        std::string message = format(
            tr("Nastavení se nepodařilo uložit do souboru {}, původní soubor zůstal beze změny."),
            path);
        if (!notes.empty()) message += " " + notes;
        return Failure{message};
    }
    if (!notes.empty())
        return Failure{notes + " " + format(tr("Nové nastavení je uloženo v souboru {}."), path)};
    return {};
}

void applyGameModeFlags(Settings& settings) {
    const std::optional<GameMode> mode = gameModeOf(settings.gameMode);
    if (!mode) return;  // an unknown mode from the file changes neither flag
    settings.endlessGrowth = *mode == GameMode::EndlessGrowth;
    settings.onePlayer = *mode == GameMode::OnePlayer;
}

}  // namespace zib
