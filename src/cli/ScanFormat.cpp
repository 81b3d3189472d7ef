#include "cli/ScanFormat.h"

#include <array>
#include <cstdio>

namespace pixalto::cli {
namespace {

// One field of a row: its name, and its value as a number, a text, or
// nothing (an image without a CLUT has no CLUT origin, a sector no file holds
// no offset in one).
struct Field {
    const char* name;
    std::optional<std::uint64_t> number;
    std::optional<std::string_view> text;
};

constexpr std::size_t kCommonFields = 10;
constexpr std::size_t kMaxFields = kCommonFields + 3;

std::size_t FieldsOf(const ScanRow& row, DiscColumns columns, std::array<Field, kMaxFields>& out) {
    const bool clut = row.clutOrigin.has_value();
    out = {{
        {"number", static_cast<std::uint64_t>(row.number), {}},
        {"position", row.position, {}},
        {"width", row.width, {}},
        {"height", row.height, {}},
        {"bpp", row.bpp, {}},
        {"clut_sets", row.clutSets, {}},
        {"image_x", row.imageX, {}},
        {"image_y", row.imageY, {}},
        {"clut_x", clut ? std::optional<std::uint64_t>(row.clutOrigin->first) : std::nullopt, {}},
        {"clut_y", clut ? std::optional<std::uint64_t>(row.clutOrigin->second) : std::nullopt, {}},
        {"lba", row.lba, {}},
        {"path", {}, row.path},
        {"offset_in_file",
         row.path.empty() ? std::nullopt : std::optional<std::uint64_t>(row.offsetInFile),
         {}},
    }};
    switch (columns) {
        case DiscColumns::None:
            return kCommonFields;
        case DiscColumns::Lba:
            return kCommonFields + 1;
        case DiscColumns::All:
            return kMaxFields;
    }
    return kCommonFields;
}

void WriteSeparated(std::ostream& out, ScanFormat format, const Field* fields, std::size_t count,
                    bool names) {
    const char separator = format == ScanFormat::Csv ? ',' : '\t';
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            out << separator;
        }
        const Field& field = fields[i];
        if (names) {
            out << field.name;
        } else if (field.number) {
            out << *field.number;
        } else if (field.text) {
            out << (format == ScanFormat::Csv ? CsvField(*field.text) : TsvField(*field.text));
        }
    }
    out << '\n';
}

}  // namespace

void WriteScanHeader(std::ostream& out, ScanFormat format, DiscColumns columns) {
    if (format != ScanFormat::Tsv && format != ScanFormat::Csv) {
        return;
    }
    std::array<Field, kMaxFields> fields;
    WriteSeparated(out, format, fields.data(), FieldsOf(ScanRow{}, columns, fields), true);
}

void WriteScanRow(std::ostream& out, ScanFormat format, DiscColumns columns, const ScanRow& row) {
    std::array<Field, kMaxFields> fields;
    const std::size_t count = FieldsOf(row, columns, fields);
    if (format != ScanFormat::Json) {
        WriteSeparated(out, format, fields.data(), count, false);
        return;
    }
    out << '{';
    for (std::size_t i = 0; i < count; ++i) {
        const Field& field = fields[i];
        out << (i > 0 ? ",\"" : "\"") << field.name << "\":";
        if (field.number) {
            out << *field.number;
        } else if (field.text) {
            out << JsonString(*field.text);
        } else {
            out << "null";
        }
    }
    out << "}\n";
}

std::string TsvField(std::string_view text) {
    std::string field;
    for (char c : text) {
        switch (c) {
            case '\\':
                field += "\\\\";
                break;
            case '\t':
                field += "\\t";
                break;
            case '\n':
                field += "\\n";
                break;
            case '\r':
                field += "\\r";
                break;
            default:
                field += c;
        }
    }
    return field;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string field = "\"";
    for (char c : text) {
        field += c;
        if (c == '"') {
            field += '"';
        }
    }
    return field + '"';
}

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                json += "\\\"";
                break;
            case '\\':
                json += "\\\\";
                break;
            case '\n':
                json += "\\n";
                break;
            case '\r':
                json += "\\r";
                break;
            case '\t':
                json += "\\t";
                break;
            default:
                if (byte < 0x20 || byte >= 0x80) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    json += escaped;
                } else {
                    json += c;
                }
        }
    }
    return json + '"';
}

}  // namespace pixalto::cli
