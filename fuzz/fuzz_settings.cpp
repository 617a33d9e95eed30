// Settings values as a damaged or hand-edited settings file may hold them: colour texts,
// numbers, window sizes, the viewer font size and bookmarks. Every value name reads the
// same fuzzed text.

#include "core/app/colortext.h"
#include "core/app/settings.h"
#include "core/app/startup.h"
#include "core/searchwindow/bookmarks.h"

#include <cstdint>
#include <cstdlib>

using namespace vespira;

namespace {

class OneValueStore final : public platform::SettingsStore
{
public:
    explicit OneValueStore(QString value)
        : m_value {std::move(value)}
    {
    }
    QString read(const QString &) const override { return m_value; }
    void write(const QString &, const QString &) override {}
    void remove(const QString &) override {}

private:
    QString m_value;
};

class NoDialogs final : public platform::Dialogs
{
public:
    void information(const QString &) override {}
    void warning(const QString &) override {}
    void error(const QString &) override {}
    bool confirm(const QString &) override { return false; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    if (const auto color = app::color::parseColorText(value)) {
        const QString text = app::color::formatColorText(*color);
        if (app::color::parseColorText(text) != color)
            std::abort(); // what is written must read back as the same colour
        if (app::color::isSystemColor(*color))
            (void)app::color::systemColorIndex(*color);
    }

    OneValueStore store(value);
    NoDialogs dialogs;
    app::Settings settings(store, dialogs);
    (void)settings.readNumber(value);
    (void)settings.readInt(value, 7);
    (void)app::readWindowSizes(settings, 800);
    (void)app::viewerFontSize(settings);

    if (const auto offset = searchwindow::bookmarkToRestore(value)) {
        if (*offset <= 0 || searchwindow::bookmarkToRestore(searchwindow::bookmarkText(*offset)) != offset)
            std::abort();
    }
    return 0;
}
