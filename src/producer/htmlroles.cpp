#include "producer/htmlroles.h"

#include <algorithm>
#include <array>

namespace vespira::producer {

namespace {

struct Entry
{
    std::string_view name;
    Role role;
};

// Sorted by name for a binary search; every name not listed is inline.
constexpr std::array Roles = std::to_array<Entry>({
    {"address", Role::Block},    {"article", Role::Block},   {"aside", Role::Block},
    {"blockquote", Role::Block}, {"body", Role::Block},      {"br", Role::Break},
    {"caption", Role::TableBlock},    {"center", Role::Block},    {"dd", Role::Block},
    {"details", Role::Block},    {"dir", Role::Block},       {"div", Role::Block},
    {"dl", Role::Block},         {"dt", Role::Block},        {"fieldset", Role::Block},
    {"figcaption", Role::Block}, {"figure", Role::Block},    {"footer", Role::Block},
    {"form", Role::Block},       {"frameset", Role::Block},  {"h1", Role::Block},
    {"h2", Role::Block},         {"h3", Role::Block},        {"h4", Role::Block},
    {"h5", Role::Block},         {"h6", Role::Block},        {"header", Role::Block},
    {"hgroup", Role::Block},     {"hr", Role::Block},        {"html", Role::Block},
    {"iframe", Role::Skip},      {"legend", Role::Block},    {"li", Role::Block},
    {"listing", Role::Pre},      {"main", Role::Block},      {"math", Role::Foreign},
    {"menu", Role::Block},       {"nav", Role::Block},       {"noembed", Role::Skip},
    {"noframes", Role::Skip},    {"noscript", Role::Skip},   {"ol", Role::Block},
    {"optgroup", Role::Block},   {"option", Role::Block},    {"p", Role::Block},
    {"plaintext", Role::Plaintext}, {"pre", Role::Pre},      {"script", Role::Skip},
    {"section", Role::Block},    {"select", Role::Block},    {"style", Role::Skip},
    {"summary", Role::Block},    {"svg", Role::Foreign},     {"table", Role::Table},
    {"tbody", Role::TableBlock},      {"td", Role::Cell},         {"template", Role::Skip},
    {"textarea", Role::Pre},     {"tfoot", Role::TableBlock},     {"th", Role::Cell},
    {"thead", Role::TableBlock},      {"title", Role::Title},     {"tr", Role::TableBlock},
    {"ul", Role::Block},         {"xmp", Role::Pre},
});

static_assert(std::is_sorted(Roles.begin(), Roles.end(), [](const Entry &a, const Entry &b) { return a.name < b.name; }));

} // namespace

Role htmlRole(std::string_view lowerName)
{
    const auto *at = std::lower_bound(Roles.begin(), Roles.end(), lowerName,
                                      [](const Entry &e, std::string_view name) { return e.name < name; });
    return at != Roles.end() && at->name == lowerName ? at->role : Role::Inline;
}

} // namespace vespira::producer
