#include "core/output/profilefile.h"
#include "core/output/webaddresses.h"

#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira::output;

// The address file shipped into new program folders: it must read back whole through the
// profile reader, whose 254-character cut would silently drop the last addresses of a
// list that grew too long.

namespace {

const QString ShippedFile = QStringLiteral(VESPIRA_RESOURCES_DIR "/Adressen_Webseiten.txt");

} // namespace

TEST(ShippedAddressFile, IsWindows1252WithCrLfAndEveryListReadsUncut)
{
    QFile file(ShippedFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << ShippedFile.toStdString();
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains("W\xF6rterb\xFC" "cher")) << "umlauts in windows-1252";
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));

    const WebAddressFile addresses(ShippedFile);
    EXPECT_EQ(addresses.topics(), (QStringList {u"Programmierung"_s, u"Suchmaschinen"_s, u"Wissen"_s, u"Wörterbücher"_s}));
    const ProfileFile profile = ProfileFile::load(ShippedFile);
    for (const QString &section : QStringList {u"Themen1"_s, u"Themen2"_s} + addresses.topics())
        EXPECT_LT(profile.value(section, u"Liste"_s, 10000).size(), ProfileFile::DefaultMaxLength)
            << section.toStdString() << " would be cut";
}

TEST(ShippedAddressFile, NoSiteRootTakesTheSearchText)
{
    // The text appended to a bare "https://host/" is a path on the site, which opens its
    // not-found page; such an address must be a search address or be listed without "/".
    const WebAddressFile addresses(ShippedFile);
    for (const QString &topic : addresses.topics()) {
        for (const QString &address : addresses.addresses(topic)) {
            EXPECT_TRUE(address.startsWith(u"https://"_s) && !address.contains(u' ')) << address.toStdString();
            const QUrl url(address);
            EXPECT_TRUE(!isQueryAddress(address) || url.hasQuery() || url.path().size() > 1) << address.toStdString();
        }
    }
}
