// The File Properties dialog, opened by a click on the information bar and
// answered the way a person answers it.

#include "notesfixture.h"

#include "notes/TfrmInfo.h"
#include "notes/compressed.h"
#include "platform/archive.h"
#include "platform/atomicfile.h"
#include "platform/paths.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

namespace cz = tl::compressed;

class PropertiesTest : public NotesFormTest {
protected:
    void SetUp() override
    {
        NotesFormTest::SetUp();
        temp = emptiedPrivateTemp();
    }

    // Clicks the information bar and, once the dialog is up, runs act on
    // it; act ends with a click on OK or Cancel.
    void withDialog(const std::function<void(TfrmInfo &)> &act)
    {
        bool ran = false;
        QTimer::singleShot(0, form.get(), [&] {
            auto *d = qobject_cast<TfrmInfo *>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            ran = true;
            act(*d);
            if (d->isVisible())
                d->reject(); // a failed step must not leave the test waiting
        });
        QTest::mouseClick(form->Panel1, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_TRUE(ran);
    }
    static void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(3, 3)); }
    static void retype(QWidget *w, const QString &text)
    {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w, Qt::Key_Delete);
        QTest::keyClicks(w, text);
    }

    QString archive(const QString &name, const QStringList &notes, int level)
    {
        QDir(dir).mkpath(QStringLiteral("src"));
        const QString plain = notesFile(QStringLiteral("src/") + name.chopped(5) + QStringLiteral(".nts"), notes);
        tl::RecordStore().setParam(plain, QStringLiteral("CompressLevel"), QString::number(level));
        cz::packNotes(plain, path(name), level);
        return path(name);
    }
    QStringList tempFiles() const { return QDir(temp).entryList(QDir::Files | QDir::Hidden); }

    QString temp;
};

TEST_F(PropertiesTest, NotesFileShowsItsFactsAndTheStatisticsOfTheNoteShown)
{
    const QString f = notesFile(
        QStringLiteral("Diary.nts"), { QStringLiteral("a b\nc"), QStringLiteral("two"), QStringLiteral("3") });
    tl::RecordStore store;
    store.setParam(f, QStringLiteral("AuthorName"), QStringLiteral("Ann"));
    store.setParam(f, QStringLiteral("Comments"), QStringLiteral("firstCRLFsecond"));
    open(f);
    withDialog([&](TfrmInfo &d) {
        EXPECT_EQ(d.PageControl1->currentWidget(), d.tsStatistics);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("File Properties: Diary.nts"));
        EXPECT_EQ(d.lblType->text(), QStringLiteral("File of Notes"));
        EXPECT_EQ(d.lblFolder->text(), QDir::toNativeSeparators(dir));
        EXPECT_EQ(d.lblSize->text(), QString::number(QFileInfo(f).size()) + QStringLiteral(" bytes"));
        EXPECT_TRUE(d.lblLastWrite->text().contains(QStringLiteral("г.,")));
        EXPECT_EQ(d.lblCount->text(), QStringLiteral("3"));
        EXPECT_EQ(d.lblCountChar2->text(), QStringLiteral("4"));
        EXPECT_EQ(d.lblCountChar->text(), QStringLiteral("3"));
        EXPECT_EQ(d.txtAuthor->text(), QStringLiteral("Ann"));
        EXPECT_EQ(d.Memo1->toPlainText(), QStringLiteral("first\nsecond"));
        EXPECT_FALSE(d.cbReadOnly->isChecked());
        EXPECT_FALSE(d.cbCompress->isChecked());
        EXPECT_EQ(d.slCompress->value(), 0); // a new notes file's compresslevel
        EXPECT_FALSE(d.slCompress->isEnabled());
        d.PageControl1->setCurrentWidget(d.tsAuthor);
        click(d.cmdCancel);
    });
    withDialog([&](TfrmInfo &d) {
        EXPECT_EQ(d.PageControl1->currentWidget(), d.tsAuthor); // the page last shown
        click(d.cmdCancel);
    });
}

TEST_F(PropertiesTest, OkStoresTheAuthorFieldsWithLineBreaksAsCrlf)
{
    const QString f = notesFile(QStringLiteral("Diary.nts"), { QStringLiteral("one") });
    open(f);
    withDialog([&](TfrmInfo &d) {
        d.PageControl1->setCurrentWidget(d.tsAuthor);
        retype(d.txtAuthor, QStringLiteral("Bob"));
        retype(d.txtCompany, QStringLiteral("Acme"));
        d.Memo1->setFocus();
        QTest::keyClicks(d.Memo1, QStringLiteral("line"));
        QTest::keyClick(d.Memo1, Qt::Key_Return);
        QTest::keyClicks(d.Memo1, QStringLiteral("break"));
        click(d.cmdOK);
    });
    tl::RecordStore store;
    EXPECT_EQ(store.param(f, QStringLiteral("AuthorName")), QStringLiteral("Bob"));
    EXPECT_EQ(store.param(f, QStringLiteral("CompanyName")), QStringLiteral("Acme"));
    EXPECT_EQ(store.param(f, QStringLiteral("Comments")), QStringLiteral("linecrlfbreak"));
}

TEST_F(PropertiesTest, CommentsStopAt255Characters)
{
    open(notesFile(QStringLiteral("Diary.nts"), { QStringLiteral("one") }));
    withDialog([&](TfrmInfo &d) {
        d.PageControl1->setCurrentWidget(d.tsAuthor);
        d.Memo1->setFocus();
        QTest::keyClicks(d.Memo1, QString(300, QLatin1Char('x')));
        EXPECT_EQ(d.Memo1->toPlainText().size(), 255);
        click(d.cmdCancel);
    });
}

TEST_F(PropertiesTest, ReadOnlyAndANewAuthorInOneGoMakesItReadOnlyAndStoresNoAuthor)
{
    const QString f = notesFile(QStringLiteral("Diary.nts"), { QStringLiteral("one") });
    readOnly << f;
    open(f);
    withDialog([&](TfrmInfo &d) {
        d.PageControl1->setCurrentWidget(d.tsGeneral);
        click(d.cbReadOnly);
        retype(d.txtAuthor, QStringLiteral("Bob"));
        click(d.cmdOK);
    });
    EXPECT_TRUE(tl::isReadOnlyFile(f));
    EXPECT_EQ(tl::RecordStore().param(f, QStringLiteral("AuthorName")), QString());
    withDialog([&](TfrmInfo &d) {
        EXPECT_TRUE(d.cbReadOnly->isChecked());
        EXPECT_FALSE(d.txtAuthor->isEnabled());
        EXPECT_FALSE(d.cbCompress->isEnabled());
        d.PageControl1->setCurrentWidget(d.tsGeneral);
        click(d.cbReadOnly);
        click(d.cmdOK);
    });
    EXPECT_FALSE(tl::isReadOnlyFile(f));
}

TEST_F(PropertiesTest, TextDocumentIsOneNoteWithAuthorAndCompressionOff)
{
    const QString f = tltest::writeFile(path(QStringLiteral("a.txt")), "a b\nc");
    open(f);
    withDialog([&](TfrmInfo &d) {
        EXPECT_EQ(d.lblType->text(), QStringLiteral("Text file"));
        EXPECT_EQ(d.lblCount->text(), QStringLiteral("1"));
        EXPECT_EQ(d.lblCountChar2->text(), QStringLiteral("4"));
        for (QWidget *w : std::initializer_list<QWidget *> { d.txtAuthor, d.txtCompany, d.Memo1, d.cbCompress })
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_TRUE(d.cbReadOnly->isEnabled());
        d.PageControl1->setCurrentWidget(d.tsGeneral);
        click(d.cbReadOnly);
        click(d.cmdOK);
    });
    readOnly << f;
    EXPECT_TRUE(tl::isReadOnlyFile(f));
}

TEST_F(PropertiesTest, CompressedFileDescribesTheArchive)
{
    const QString a = archive(QStringLiteral("Diary.znts"), { QStringLiteral("one") }, 9);
    open(a);
    withDialog([&](TfrmInfo &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("File Properties: Diary.znts"));
        EXPECT_EQ(d.lblType->text(), QStringLiteral("File of Notes"));
        EXPECT_EQ(d.lblFolder->text(), QDir::toNativeSeparators(dir));
        EXPECT_EQ(d.lblSize->text(), QString::number(QFileInfo(a).size()) + QStringLiteral(" bytes"));
        EXPECT_TRUE(d.cbCompress->isChecked());
        EXPECT_TRUE(d.slCompress->isEnabled());
        EXPECT_EQ(d.slCompress->value(), 9);
        click(d.cmdCancel);
    });
}

TEST_F(PropertiesTest, SliderMovedThenCancelStillSetsTheLevelOfTheNextWrite)
{
    const QByteArray big(20000, 'x');
    const QString a = archive(QStringLiteral("Diary.znts"), { QString::fromLatin1(big) }, 9);
    open(a);
    withDialog([&](TfrmInfo &d) {
        d.slCompress->setFocus();
        QTest::keyClick(d.slCompress, Qt::Key_Home); // to 0: stored
        click(d.cmdCancel);
    });
    EXPECT_EQ(form->CurrentZipLevel, 0);
    form->CloseNotes(form->CurrentFile());
    EXPECT_GT(QFileInfo(a).size(), 20000);
}

TEST_F(PropertiesTest, CompressionOnPacksThePlainFileAndOpensTheArchive)
{
    const QString f = notesFile(QStringLiteral("Diary.nts"), { QStringLiteral("one") });
    open(f);
    type(QStringLiteral(" two"));
    withDialog([&](TfrmInfo &d) {
        d.PageControl1->setCurrentWidget(d.tsCompression);
        click(d.cbCompress);
        d.slCompress->setValue(3);
        click(d.cmdOK);
    });
    const QString a = path(QStringLiteral("Diary.znts"));
    EXPECT_FALSE(QFileInfo::exists(f));
    EXPECT_TRUE(QFileInfo::exists(a));
    EXPECT_EQ(form->CurrentFile(), cz::workingCopyPath(a, temp));
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 1 from Diary.znts"));
    EXPECT_EQ(editorText(), QStringLiteral("one two"));
    EXPECT_EQ(form->CurrentZipLevel, 3);
    form->CloseNotes(form->CurrentFile());
    EXPECT_TRUE(tempFiles().isEmpty());
}

TEST_F(PropertiesTest, CompressionOffLeavesAPlainFileBesideAndNoArchive)
{
    const QString a = archive(QStringLiteral("Diary.znts"), { QStringLiteral("one") }, 6);
    open(a);
    type(QStringLiteral(" two"));
    withDialog([&](TfrmInfo &d) {
        d.PageControl1->setCurrentWidget(d.tsCompression);
        click(d.cbCompress);
        click(d.cmdOK);
    });
    const QString plain = path(QStringLiteral("Diary.nts"));
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_EQ(form->CurrentFile(), plain);
    EXPECT_TRUE(tempFiles().isEmpty());
    EXPECT_EQ(tl::RecordStore().param(plain, QStringLiteral("RealPath")), QString());
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 1 from Diary.nts"));
    form->CloseNotes(form->CurrentFile());
    EXPECT_EQ(notesOf(plain), QStringList { QStringLiteral("one two") });
}

TEST_F(PropertiesTest, ReadOnlyArchiveOffersNoCompressionChange)
{
    const QString a = makeReadOnly(archive(QStringLiteral("Diary.znts"), { QStringLiteral("one") }, 6));
    open(a);
    withDialog([&](TfrmInfo &d) {
        EXPECT_TRUE(d.cbReadOnly->isChecked());
        EXPECT_FALSE(d.cbCompress->isEnabled());
        click(d.cmdCancel);
    });
}

// Made read-only while open, the archive first gets what the copy holds:
// it could not be written when the copy is closed.
TEST_F(PropertiesTest, ArchiveMadeReadOnlyWhileOpenKeepsTheEditsSoFar)
{
    const QString a = archive(QStringLiteral("Diary.znts"), { QStringLiteral("one") }, 6);
    readOnly << a;
    open(a);
    type(QStringLiteral(" two"));
    withDialog([&](TfrmInfo &d) {
        d.PageControl1->setCurrentWidget(d.tsGeneral);
        click(d.cbReadOnly);
        click(d.cmdOK);
    });
    EXPECT_TRUE(tl::isReadOnlyFile(a));
    form->CloseNotes(form->CurrentFile());
    EXPECT_TRUE(tempFiles().isEmpty());
    EXPECT_TRUE(dialogs->boxes.empty());
    const QString out = tltest::freshFolder() + QStringLiteral("/m.nts");
    cz::unpackNotes(a, out);
    EXPECT_EQ(notesOf(out), QStringList { QStringLiteral("one two") });
}

} // namespace
