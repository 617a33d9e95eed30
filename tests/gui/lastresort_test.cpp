#include "gui/common/lastresort.h"

#include "core/common/error.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

namespace {

// An error box that itself runs into a failing event, as a box's own event loop may.
class FailingWhileShown final : public platform::Dialogs
{
public:
    void information(const QString &) override {}
    void warning(const QString &) override {}
    void error(const QString &text) override
    {
        shown << text;
        if (lastResort)
            lastResort->deliver([]() -> bool { throw std::runtime_error("im Fehlerfenster"); });
    }
    bool confirm(const QString &) override { return false; }

    gui::LastResort *lastResort = nullptr;
    QStringList shown;
};

} // namespace

TEST(LastResort, AnEscapedErrorIsShownAndTheDeliveryGoesOn)
{
    test::ScriptedDialogs dialogs;
    gui::LastResort lastResort(dialogs);
    EXPECT_TRUE(lastResort.deliver([] { return true; }));
    EXPECT_FALSE(lastResort.deliver([]() -> bool {
        throw Error(u"Datei: a.htm kann nicht geschrieben werden"_s);
    }));
    EXPECT_FALSE(lastResort.deliver([]() -> bool { throw std::runtime_error("kaputt"); }));
    EXPECT_FALSE(lastResort.deliver([]() -> bool { throw 7; }));
    EXPECT_TRUE(lastResort.deliver([] { return true; }));
    EXPECT_EQ(dialogs.texts(),
              (QStringList {u"Datei: a.htm kann nicht geschrieben werden"_s, u"kaputt"_s, u"Unbekannter Fehler"_s}));
    for (const auto &box : dialogs.shown)
        EXPECT_EQ(box.kind, u"error"_s);
}

TEST(LastResort, AFailureWhileTheBoxIsUpIsNotStackedOnIt)
{
    FailingWhileShown dialogs;
    gui::LastResort lastResort(dialogs);
    dialogs.lastResort = &lastResort;
    EXPECT_FALSE(lastResort.deliver([]() -> bool { throw std::runtime_error("zuerst"); }));
    EXPECT_EQ(dialogs.shown, QStringList {u"zuerst"_s});
    EXPECT_FALSE(lastResort.deliver([]() -> bool { throw std::runtime_error("später"); }));
    EXPECT_EQ(dialogs.shown, (QStringList {u"zuerst"_s, u"später"_s}));
}
