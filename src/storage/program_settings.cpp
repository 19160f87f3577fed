#include "storage/program_settings.h"

#include "storage/record_io.h"

#include <algorithm>
#include <optional>

namespace cronovolta {
namespace {

constexpr std::size_t kLanguageOffset = 0;
constexpr std::size_t kLapFractionOffset = 4;
constexpr std::size_t kAutoScrollOffset = 6;
constexpr std::size_t kVersionOffset = 8;
constexpr std::size_t kModelOffset = 9;
constexpr std::size_t kColourCountOffset = 19;
constexpr std::size_t kColoursOffset = 21;

constexpr std::string_view kModelNames[] = {"DS003", "DS030", "DS300", "DS300 & DS4port", "DS200"};

std::optional<std::int16_t> i16At(std::string_view bytes, std::size_t offset) {
    ByteReader r(bytes, offset);
    std::int16_t v = r.i16();
    return r.ok() ? std::optional(v) : std::nullopt;
}

void readColours(std::string_view bytes, DecodedProgramSettings& out) {
    ProgramSettings& c = out.config;
    auto count = i16At(bytes, kColourCountOffset);
    if (!count) {
        return;
    }
    if (*count < kColourSlots) {
        out.problems.push_back("the file holds " + std::to_string(*count) +
                               " colours instead of 5");
    }
    // Only five slots exist; more stored colours are left unread.
    int wanted = std::clamp<int>(*count, 0, kColourSlots);
    for (int i = 0; i < wanted; ++i) {
        auto colour = i16At(bytes, kColoursOffset + 2 * static_cast<std::size_t>(i));
        if (!colour) {
            out.problems.push_back("the file ends inside the colours");
            return;
        }
        if (*colour < 0 || *colour >= static_cast<int>(kQbPalette.size())) {
            out.problems.push_back("colour " + std::to_string(i + 1) + " is " +
                                   std::to_string(*colour));
            continue;
        }
        c.colours[static_cast<std::size_t>(i)] = *colour;
    }
}

} // namespace

Rgb qbColor(int number) {
    if (number < 0 || number >= static_cast<int>(kQbPalette.size())) {
        return {0, 0, 0};
    }
    return kQbPalette[static_cast<std::size_t>(number)];
}

std::string_view counterModelName(int model) {
    if (model < 0 || model >= static_cast<int>(std::size(kModelNames))) {
        return {};
    }
    return kModelNames[model];
}

ProgramSettings defaultProgramSettings() {
    return ProgramSettings{};
}

DecodedProgramSettings decodeProgramSettings(std::string_view bytes) {
    DecodedProgramSettings out;
    ProgramSettings& c = out.config;
    c = defaultProgramSettings();
    if (bytes.size() < kColoursOffset) {
        out.problems.push_back("the file is shorter than the settings it should hold");
    }
    if (auto language = i16At(bytes, kLanguageOffset)) {
        if (*language == 0 || *language == 1) {
            c.language = *language;
        } else {
            out.problems.push_back("the language is " + std::to_string(*language));
        }
    }
    if (auto lapFraction = i16At(bytes, kLapFractionOffset)) {
        c.lapFractionPolicy = *lapFraction < -1 ? std::int16_t{0} : *lapFraction;
    }
    if (auto scroll = i16At(bytes, kAutoScrollOffset)) {
        c.autoScroll = *scroll < -1 ? std::int16_t{10} : *scroll;
    }
    if (bytes.size() > kVersionOffset) {
        c.version = static_cast<std::uint8_t>(bytes[kVersionOffset]);
    }
    if (c.version == 0) {
        c.version = CRONOVOLTA_VERSION_MINOR;
    }
    if (auto model = i16At(bytes, kModelOffset)) {
        if (!counterModelName(*model).empty()) {
            c.counterModel = static_cast<CounterModel>(*model);
        } else {
            out.problems.push_back("the lap-counter model is " + std::to_string(*model));
        }
    }
    readColours(bytes, out);
    return out;
}

std::string encodeProgramSettings(const ProgramSettings& config) {
    ByteWriter w;
    w.i16(config.language);
    w.zeros(2);
    w.i16(config.lapFractionPolicy);
    w.i16(config.autoScroll);
    w.u8(config.version);
    w.i16(static_cast<std::int16_t>(config.counterModel));
    w.zeros(kColourCountOffset - w.size());
    w.i16(static_cast<std::int16_t>(config.colours.size()));
    for (std::int16_t colour : config.colours) {
        w.i16(colour);
    }
    return w.take();
}

std::expected<DecodedProgramSettings, std::string>
loadProgramSettingsChecked(const fs::path& file) {
    auto bytes = readFileBytes(file);
    if (!bytes) {
        return std::unexpected(bytes.error());
    }
    return decodeProgramSettings(*bytes);
}

std::expected<ProgramSettings, std::string> loadProgramSettings(const fs::path& file) {
    auto decoded = loadProgramSettingsChecked(file);
    if (!decoded) {
        return std::unexpected(decoded.error());
    }
    return std::move(decoded->config);
}

IoResult saveProgramSettings(const fs::path& file, const ProgramSettings& config) {
    std::string fields = encodeProgramSettings(config);
    // The unused fields keep whatever an older file holds there.
    if (auto old = readOptionalFile(file)) {
        for (std::size_t i : {std::size_t{2}, std::size_t{3}}) {
            if (i < old->size()) {
                fields[i] = (*old)[i];
            }
        }
        for (std::size_t i = kModelOffset + 2; i < kColourCountOffset && i < old->size(); ++i) {
            fields[i] = (*old)[i];
        }
    }
    return writeAt(file, 0, fields);
}

} // namespace cronovolta
