#pragma once
// Turning a filter string of the "description|pattern|...||" form into the
// name filters of a Qt file dialog, and matching a name against a pattern.

#include <QStringList>
#include <string>
#include <vector>

namespace pixalto::ui {

struct FilterEntry {
    std::string description;
    std::string pattern;  // one or more patterns separated by ';'
};

// The pairs of a filter string, in order; a trailing description without a
// pattern is dropped.
std::vector<FilterEntry> ParseFilter(const std::string& filter);

// Qt name filters such as "BMP Graphics (*.bmp)", one per pair.
QStringList QtNameFilters(const std::string& filter);

// Whether name matches a wildcard pattern ('*' and '?'), ignoring case, as
// the file dialogs match them.
bool MatchesPattern(const std::string& name, const std::string& pattern);

}  // namespace pixalto::ui
