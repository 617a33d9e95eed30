#include "gui/app/databasedialog.h"
#include "gui/app/databaselist.h"
#include "gui/app/mainform.h"
#include "gui/app/program.h"
#include "producer/indexer.h"

#include "support/guicontext.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <unistd.h>

using namespace vespira;
using namespace Qt::Literals::StringLiterals;

namespace {

// The program's windows with the database window, over fake services.
struct Windows
{
    explicit Windows(test::TestContext &t)
        : program(t.context)
        , main(program.mainWindow())
        , form(new gui::TDatenbankForm(t.context, chooser, &main))
    {
        main.setDatabaseForm(form);
        main.show();
    }
    test::ScriptedFolderChooser chooser; // before the windows that use it
    gui::Program program;
    gui::TMainForm_Vespira_HTML &main;
    gui::TDatenbankForm *form;
};

bool waitUntil(const std::function<bool()> &done, int ms = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// A few dozen small pages.
void writePages(const test::TempProgramFolder &folder, const QString &sub, int count)
{
    for (int i = 0; i < count; ++i)
        folder.write(sub + u"/seite%1.html"_s.arg(i),
                     "<title>Seite " + QByteArray::number(i) + "</title><p>Text der Seite " + QByteArray::number(i) + "</p>");
}

void makeDatabase(const test::TestContext &t, const QString &name, const QString &docs)
{
    producer::IndexOptions options;
    options.programFolder = t.folder.path();
    options.name = name;
    options.folders = {t.folder.file(docs)};
    producer::buildDatabase(options, {}, {});
}

QStringList visibleEntries(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        if (action->isVisible() && !action->isSeparator())
            texts << action->text();
    return texts;
}

} // namespace

TEST(DatenbankForm, NameChecksFoldersKindsThenTheNewDatabaseIsSelected)
{
    test::TestContext t;
    t.folder.write(u"Datenbank/Archiv.dat"_s, "PFAD_UND_ENDUNGEN=Z:\\\r\n");
    writePages(t.folder, u"eins"_s, 5);
    writePages(t.folder, u"zwei"_s, 7);
    t.folder.write(u"zwei/brief.eml"_s, "Subject: Brief\r\n\r\nHallo\r\n");
    Windows w(t);
    w.chooser.answers = {t.folder.file(u"eins"_s), t.folder.file(u"zwei/"_s), t.folder.file(u"eins"_s), QString()};
    gui::TDatenbankForm &f = *w.form;
    bool shown = false;
    f.showModal = [&]() -> int {
        shown = true;
        f.show();
        EXPECT_EQ(f.windowTitle(), u"Datenbank erstellen"_s);
        EXPECT_EQ(f.NameHinweis->text(), u"Der Datenbankname ist leer."_s);
        EXPECT_FALSE(f.ErstellenBtn->isEnabled());
        EXPECT_EQ(f.FortschrittLabel->text(), u"Fügen Sie mindestens einen Ordner mit Dokumenten hinzu."_s);
        EXPECT_TRUE(f.HtmlCheckBox->isChecked() && f.MhtCheckBox->isChecked() && f.EmlCheckBox->isChecked());

        f.NameEdit->setText(u"a/b"_s);
        EXPECT_EQ(f.NameHinweis->text(),
                  u"Der Datenbankname darf keines der Zeichen / \\ : * ? \" < > | und keine Steuerzeichen enthalten."_s);
        f.NameEdit->setText(u"archiv"_s);
        EXPECT_EQ(f.NameHinweis->text(), u"Die Datenbank \"archiv\" existiert bereits."_s);
        f.NameEdit->setText(u"Briefe_temp"_s);
        EXPECT_EQ(f.NameHinweis->text(),
                  u"Der Datenbankname darf nicht auf \"_mht\" oder \"_temp\" enden und kein \".dat\" enthalten."_s);
        f.NameEdit->setText(u"Neu"_s);
        EXPECT_EQ(f.NameHinweis->text(), QString());

        for (int i = 0; i < 4; ++i) // the third is a duplicate, the fourth cancelled
            f.OrdnerHinzuBtn->click();
        EXPECT_EQ(w.chooser.asked.size(), 4);
        EXPECT_EQ(w.chooser.asked.first(), u"Ordner mit Dokumenten wählen"_s);
        EXPECT_EQ(f.OrdnerListe->count(), 2);
        EXPECT_TRUE(f.ErstellenBtn->isEnabled());
        f.OrdnerListe->setCurrentRow(0);
        f.OrdnerEntfernenBtn->click();
        EXPECT_EQ(f.OrdnerListe->count() == 1 ? f.OrdnerListe->item(0)->text() : QString(), t.folder.file(u"zwei"_s));

        for (QCheckBox *box : {f.HtmlCheckBox, f.MhtCheckBox, f.EmlCheckBox})
            box->setChecked(false);
        EXPECT_FALSE(f.ErstellenBtn->isEnabled());
        EXPECT_EQ(f.FortschrittLabel->text(), u"Wählen Sie mindestens eine Art von Dokumenten."_s);
        f.HtmlCheckBox->setChecked(true);

        f.ErstellenBtn->click();
        EXPECT_TRUE(f.building());
        EXPECT_TRUE(f.NameEdit->isReadOnly());
        EXPECT_TRUE(waitUntil([&] { return !f.isVisible(); }));
        return f.result();
    };
    w.main.FormPaint();
    w.main.NeueDatenbank1Click();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(t.dialogs.shown.isEmpty()) << t.dialogs.texts().join(u'\n').toStdString();
    EXPECT_EQ(t.folder.read(u"Datenbank/Neu_Quellen.txt"_s),
              "ORDNER=" + t.folder.file(u"zwei"_s).toUtf8() + "\r\nARTEN=HTML\r\n");
    EXPECT_FALSE(t.folder.exists(u"Datenbank/Neu_MHTtext.txt"_s)); // EML was not ticked
    ASSERT_EQ(w.main.ListBox1->count(), 2);
    EXPECT_EQ(w.main.ListBox1->selectedIndex(), 1);
    EXPECT_EQ(t.context.state.catalog.selectedDatabase, u"Neu"_s);
    EXPECT_EQ(t.settings.values.value(u"Ausgewaehlte_Datenbank"_s), u"1"_s);
}

TEST(DatenbankForm, CancelMidBuildStopsWithinASecondAndLeavesTheOldDatabase)
{
    test::TestContext t;
    writePages(t.folder, u"docs"_s, 3);
    makeDatabase(t, u"Probe"_s, u"docs"_s);
    const auto before = test::snapshot(t.folder.file(u"Datenbank"_s));
    writePages(t.folder, u"docs"_s, 40);
    Windows w(t);
    w.main.FormPaint();

    // The build waits at its tenth document until the test has pressed "Abbrechen".
    std::atomic_bool reached = false;
    std::atomic_bool pressed = false;
    w.form->build().onWorkerProgress = [&](const producer::IndexProgress &p) {
        if (p.filesDone != 10)
            return;
        reached = true;
        for (int i = 0; i < 1000 && !pressed; ++i)
            QThread::msleep(5);
    };
    qint64 stopMs = -1;
    w.form->showModal = [&]() -> int {
        w.form->show();
        EXPECT_EQ(w.form->windowTitle(), u"Datenbank neu aufbauen"_s);
        EXPECT_FALSE(w.form->ErstellenBtn->isVisible());
        EXPECT_EQ(w.form->OrdnerListe->count(), 1);
        EXPECT_TRUE(waitUntil([&] { return bool(reached); }));
        QElapsedTimer clock;
        clock.start();
        w.form->AbbrechenBtn->click();
        pressed = true;
        EXPECT_TRUE(waitUntil([&] { return !w.form->building(); }));
        stopMs = clock.elapsed();
        return w.form->result();
    };
    w.main.DatenbankNeuAufbauen1Click();
    EXPECT_GE(stopMs, 0);
    EXPECT_LT(stopMs, 1000);
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_EQ(w.form->FortschrittLabel->text(), u"Abgebrochen: die Datenbank \"Probe\" wurde nicht verändert."_s);
    EXPECT_TRUE(t.dialogs.shown.isEmpty());
    EXPECT_EQ(test::snapshot(t.folder.file(u"Datenbank"_s)), before);
}

TEST(DatenbankForm, AFolderThatCannotBeReadIsReported)
{
    test::TestContext t;
    writePages(t.folder, u"docs"_s, 4);
    writePages(t.folder, u"weg"_s, 2);
    Windows w(t);
    w.chooser.answers = {t.folder.file(u"gibtsnicht"_s), t.folder.file(u"docs"_s), t.folder.file(u"weg"_s)};
    gui::TDatenbankForm &f = *w.form;
    f.showModal = [&]() -> int {
        f.show();
        f.NameEdit->setText(u"Probe"_s);
        f.OrdnerHinzuBtn->click();
        EXPECT_EQ(t.dialogs.texts(), QStringList({u"Der Ordner \""_s + t.folder.file(u"gibtsnicht"_s)
                                                  + u"\" kann nicht gelesen werden."_s}));
        f.OrdnerHinzuBtn->click();
        f.OrdnerHinzuBtn->click();
        // A folder that goes away before the build: the command's message, and the window
        // stays for another try.
        QDir(t.folder.file(u"weg"_s)).removeRecursively();
        f.ErstellenBtn->click();
        EXPECT_TRUE(waitUntil([&] { return !f.building(); }));
        EXPECT_EQ(t.dialogs.shown.size(), 2);
        EXPECT_EQ(t.dialogs.shown.last().kind, u"error"_s);
        EXPECT_EQ(t.dialogs.shown.last().text, u"Der Ordner \""_s + t.folder.file(u"weg"_s) + u"\" existiert nicht."_s);
        EXPECT_TRUE(f.isVisible());
        EXPECT_FALSE(f.NameEdit->isReadOnly());
        f.OrdnerListe->setCurrentRow(1);
        f.OrdnerEntfernenBtn->click();

        // Below a chosen folder, one that cannot be read is left out and named at the end.
        // Root reads every folder, so only another user sees that part.
        const bool root = ::geteuid() == 0;
        writePages(t.folder, u"docs/privat"_s, 1);
        QFile::setPermissions(t.folder.file(u"docs/privat"_s), QFileDevice::Permissions());
        f.ErstellenBtn->click();
        EXPECT_TRUE(waitUntil([&] { return !f.building(); }));
        QFile::setPermissions(t.folder.file(u"docs/privat"_s), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (!root) {
            EXPECT_EQ(t.dialogs.shown.size(), 3);
            EXPECT_EQ(t.dialogs.shown.last().kind, u"warning"_s);
            EXPECT_TRUE(t.dialogs.shown.last().text.endsWith(
                u"Übersprungen: "_s + t.folder.file(u"docs/privat"_s) + u": Der Ordner kann nicht gelesen werden."_s));
        }
        return f.result();
    };
    EXPECT_EQ(f.NeueDatenbank(), u"Probe"_s);
}

TEST(DatenbankForm, ContextMenuUpdatesAndRebuildsTheSelectedDatabase)
{
    test::TestContext t;
    Windows w(t);
    w.main.FormPaint();
    w.main.ListBox1MouseDown(Qt::RightButton, {});
    EXPECT_EQ(visibleEntries(w.main.PopupMenu1), QStringList({u"Neue Datenbank …"_s}));
    w.main.PopupMenu1->hide();

    writePages(t.folder, u"docs"_s, 3);
    makeDatabase(t, u"Probe"_s, u"docs"_s);
    t.folder.write(u"Datenbank/Fremd.dat"_s, "PFAD_UND_ENDUNGEN=C:\\Daten\r\n");
    w.main.LiesNamenDatenbanken();
    w.main.ListBox1->selectQuietly(1);
    w.main.ListBox1Click();
    w.main.ListBox1MouseDown(Qt::RightButton, {});
    EXPECT_EQ(visibleEntries(w.main.PopupMenu1),
              QStringList({u"Neue Datenbank …"_s, u"Datenbank aktualisieren"_s, u"Datenbank neu aufbauen"_s,
                           u"Datenbank löschen"_s}));
    w.main.PopupMenu1->hide();

    int opened = 0;
    w.form->showModal = [&]() -> int {
        ++opened;
        EXPECT_TRUE(waitUntil([&] { return !w.form->building(); }));
        return w.form->result();
    };
    t.folder.write(u"docs/neu.html"_s, "<p>neu</p>");
    QFile::remove(t.folder.file(u"docs/seite0.html"_s));
    w.main.DatenbankAktualisieren1Click();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(w.form->windowTitle(), u"Datenbank aktualisieren"_s);
    const QByteArray list = t.folder.read(u"Datenbank/Probe.dat"_s);
    EXPECT_TRUE(list.contains("\\neu.html\r\n"));
    EXPECT_FALSE(list.contains("\\seite0.html"));
    EXPECT_EQ(t.context.state.catalog.selectedDatabase, u"Probe"_s);

    w.main.DatenbankNeuAufbauen1Click();
    EXPECT_EQ(opened, 2);
    EXPECT_TRUE(t.dialogs.shown.isEmpty());

    // Another producer's database keeps no folders: said, and no window opens.
    w.main.ListBox1->selectQuietly(0);
    w.main.DatenbankAktualisieren1Click();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(t.dialogs.texts(),
              QStringList({u"Zur Datenbank \"Fremd\" sind keine Ordner gespeichert, aus denen sie erneuert werden kann."_s}));
}
