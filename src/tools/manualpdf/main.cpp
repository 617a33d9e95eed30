// Renders the user manual, a Markdown file, to the PDF that the program's "?" buttons open:
//   vespira-manualpdf HANDBUCH.md AUSGABE.pdf
// Images are resolved relative to the Markdown file and scaled down to the text width; a
// missing image fails the run, so a broken manual never reaches the program folder quietly.

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// Text width on an A4 page with the 2 cm margins QTextDocument::print() uses, in the
// 96-dpi units image formats are measured in.
constexpr qreal kTextWidth = (210.0 - 2 * 20.0) / 25.4 * 96.0;

void fail(const QString &message)
{
    std::fprintf(stderr, "vespira-manualpdf: %s\n", qPrintable(message));
}

// Loads every image the document names and fits it to the text width. Returns false
// (after naming them) when an image cannot be read.
bool placeImages(QTextDocument &document, const QString &baseFolder)
{
    bool complete = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QString name = format.name();
            const QString path = QFileInfo(baseFolder + u'/' + QUrl(name).path()).absoluteFilePath();
            const QImage image(path);
            if (image.isNull()) {
                fail(u"Bild fehlt oder ist unlesbar: "_s + path);
                complete = false;
                continue;
            }
            document.addResource(QTextDocument::ImageResource, QUrl(name), image);
            const qreal scale = qMin<qreal>(1.0, kTextWidth / image.width());
            format.setWidth(image.width() * scale);
            format.setHeight(image.height() * scale);
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
    return complete;
}

// Room above headings and inside table cells: the Markdown import sets neither.
void spaceOut(QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.headingLevel() < 2)
            continue;
        format.setTopMargin(format.headingLevel() == 2 ? 16 : 10);
        format.setBottomMargin(4);
        QTextCursor(block).setBlockFormat(format);
    }
    for (QTextFrame *frame : document.rootFrame()->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(frame)) {
            QTextTableFormat format = table->format();
            format.setCellPadding(3);
            format.setBorderCollapse(true);
            table->setFormat(format);
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // Runs during the build, where there may be no screen; it never shows a window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 3) {
        fail(u"Aufruf: vespira-manualpdf HANDBUCH.md AUSGABE.pdf"_s);
        return 2;
    }
    const QString source = arguments.at(1);
    const QString target = arguments.at(2);

    QFile input(source);
    if (!input.open(QIODevice::ReadOnly)) {
        fail(u"kann nicht gelesen werden: "_s + source);
        return 1;
    }
    const QString markdown = QString::fromUtf8(input.readAll());

    QTextDocument document;
    QFont font(u"DejaVu Sans"_s);
    font.setPointSizeF(10);
    document.setDefaultFont(font);
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    if (!placeImages(document, QFileInfo(source).absolutePath()))
        return 1;
    spaceOut(document);

    // Written beside the target and renamed into place, so a failed run leaves the old
    // manual (or none), never half of one.
    QSaveFile output(target);
    if (!output.open(QIODevice::WriteOnly)) {
        fail(u"kann nicht geschrieben werden: "_s + target);
        return 1;
    }
    {
        QPdfWriter writer(&output);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setResolution(300);
        writer.setTitle(u"Vespira-HTML-Dodad – Handbuch"_s);
        writer.setCreator(u"Vespira-HTML-Dodad"_s);
        document.print(&writer);
    }
    if (!output.commit()) {
        fail(u"kann nicht geschrieben werden: "_s + target);
        return 1;
    }
    return 0;
}
