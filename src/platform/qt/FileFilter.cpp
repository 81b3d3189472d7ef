#include "platform/qt/FileFilter.h"

#include <QRegularExpression>

namespace pixalto::ui {

std::vector<FilterEntry> ParseFilter(const std::string& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < filter.size()) {
        const std::size_t bar = filter.find('|', start);
        const std::size_t end = bar == std::string::npos ? filter.size() : bar;
        if (end == start) {
            break;  // "||" ends the list
        }
        parts.push_back(filter.substr(start, end - start));
        start = end + 1;
    }
    std::vector<FilterEntry> entries;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        entries.push_back({parts[i], parts[i + 1]});
    }
    return entries;
}

QStringList QtNameFilters(const std::string& filter) {
    QStringList names;
    for (const auto& entry : ParseFilter(filter)) {
        QString patterns = QString::fromStdString(entry.pattern);
        patterns.replace(';', ' ');
        names << QStringLiteral("%1 (%2)").arg(QString::fromStdString(entry.description),
                                               patterns.simplified());
    }
    return names;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
    const QRegularExpression expression(
        QRegularExpression::wildcardToRegularExpression(
            QString::fromStdString(pattern), QRegularExpression::DefaultWildcardConversion),
        QRegularExpression::CaseInsensitiveOption);
    return expression.match(QString::fromStdString(name)).hasMatch();
}

}  // namespace pixalto::ui
