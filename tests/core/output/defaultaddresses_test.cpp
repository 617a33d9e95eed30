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

TEST(ShippedAddressFile, IsWindows1252WithCrLf)
{
    QFile file(ShippedFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << ShippedFile.toStdString();
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains("W\xF6rterb\xFC" "cher")) << "umlauts in windows-1252";
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
}

TEST(ShippedAddressFile, EveryTopicHasItsAddressesUncut)
{
    const WebAddressFile addresses(ShippedFile);
    const QStringList topics = addresses.topics();
    EXPECT_EQ(topics, (QStringList {u"Programmierung"_s, u"Suchmaschinen"_s, u"Wissen"_s, u"Wörterbücher"_s}));

    const ProfileFile profile = ProfileFile::load(ShippedFile);
    for (const QString &section : {u"Themen1"_s, u"Themen2"_s})
        EXPECT_LT(profile.value(section, u"Liste"_s, 10000).size(), ProfileFile::DefaultMaxLength);
    int queries = 0;
    int plain = 0;
    for (const QString &topic : topics) {
        const QString whole = profile.value(topic, u"Liste"_s, 10000);
        EXPECT_LT(whole.size(), ProfileFile::DefaultMaxLength) << topic.toStdString() << " would be cut";
        EXPECT_EQ(splitAddresses(whole).size(), whole.count(u',') + 1) << topic.toStdString();
        const QStringList list = addresses.addresses(topic);
        EXPECT_GE(list.size(), 4) << topic.toStdString();
        for (const QString &address : list) {
            EXPECT_TRUE(address.startsWith(u"https://"_s)) << address.toStdString();
            EXPECT_FALSE(address.contains(u' ')) << address.toStdString();
            (isQueryAddress(address) ? queries : plain) += 1;
        }
    }
    EXPECT_GT(queries, 3 * plain) << "mostly query addresses";
    EXPECT_GT(plain, 0);
}

TEST(ShippedAddressFile, NoSiteRootTakesTheSearchText)
{
    // The text appended to a bare "https://host/" is a path on the site, which opens its
    // not-found page; such an address must be a search address or be listed without "/".
    const WebAddressFile addresses(ShippedFile);
    for (const QString &topic : addresses.topics()) {
        for (const QString &address : addresses.addresses(topic)) {
            if (!isQueryAddress(address))
                continue;
            const QUrl url(address);
            EXPECT_TRUE(url.hasQuery() || url.path().size() > 1) << address.toStdString();
        }
    }
}
