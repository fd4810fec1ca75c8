#include "settings/TfrmPrefer.h"

#include "controls/eventhook.h"
#include "controls/guarded.h"
#include "platform/error.h"
#include "settings/colorbox.h"
#include "settings/preferwidgets.h"
#include "settings/settingsstore.h"
#include "settings/settingstable.h"
#include "skins/skinspage.h"
#include "spell/spellpage.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace s = tl::setting;
using tl::SettingsStore;

using tl::prefer::checkBox;
using tl::prefer::label;
using tl::prefer::list;
using tl::prefer::named;

namespace {

constexpr QRect kPagePlace{128, 8, 273, 233};
constexpr int kMinOpacity = 66;

QString onOff(bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); }

// A label's text as its caption changes: wide enough for the new one.
void setCaption(QAbstractButton *b, const QString &text)
{
    b->setText(text);
    b->adjustSize();
}
void setCaption(QLabel *l, const QString &text)
{
    l->setText(text);
    l->adjustSize();
}

} // namespace

TfrmPrefer::TfrmPrefer(const tl::SettingsStore &settings, tl::Services &services, const QString &programFolder,
                       Window window, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                        | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      m_settings(settings),
      m_services(services),
      m_programFolder(programFolder),
      m_window(std::move(window))
{
    setObjectName(QStringLiteral("frmPrefer"));
    setWindowTitle(QStringLiteral("Options"));
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(8);
    setFont(f);
    setFixedSize(402, 275);

    tvMain = named(new QTreeWidget(this), "tvMain");
    tvMain->setGeometry(6, 8, 113, 233);
    tvMain->setHeaderHidden(true);
    tvMain->setRootIsDecorated(false);
    tvMain->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvMain->setMouseTracking(true);  // hot tracking
    for (int i = 0; i < 6; ++i)
        new QTreeWidgetItem(tvMain);

    auto page = [this](const char *name) {
        auto *g = named(new QGroupBox(this), name);
        g->setGeometry(kPagePlace);
        g->hide();
        return g;
    };
    frame1 = page("frame1");
    frame2 = page("frame2");
    frame3 = page("frame3");
    frame6 = page("frame6");
    frame5 = page("frame5");
    frame7 = page("frame7");

    cmdClose = named(new QPushButton(QStringLiteral("Close"), this), "cmdClose");
    cmdClose->setGeometry(240, 248, 74, 22);
    // Return in a box of a page must not close the dialog.
    cmdClose->setAutoDefault(false);
    cmdHelp = named(new QPushButton(QStringLiteral("Help"), this), "cmdHelp");
    cmdHelp->setGeometry(319, 248, 74, 22);
    cmdHelp->setAutoDefault(false);

    createGeneralPage();
    createIntegrationControls();
    createFontsPage();
    createEditorPage();
    createConfirmationsPage();
    skinsPage = new TSkinsPage(m_settings, *m_services.dialogs, frame5);
    auto *skinsLayout = new QVBoxLayout(frame5);
    skinsLayout->setContentsMargins(0, 10, 0, 0);  // the page has margins of its own
    skinsLayout->addWidget(skinsPage);
    skinsPage->setObjectName(QStringLiteral("SkinsPage"));  // the page frame is frame5
    createPersonalPage();
    bringToFront(frame1);

    using tl::connectGuarded;
    connectGuarded(tvMain, &QTreeWidget::itemSelectionChanged, this, [this] { tvMainClick(); });
    connectGuarded(cmdClose, &QPushButton::clicked, this, [this] { cmdCloseClick(); });
    connectGuarded(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelpClick(); });

    showTexts();  // the built-in ones until FormCreate loads the language in use
}

QList<QGroupBox *> TfrmPrefer::pages() const
{
    return {frame1, frame2, frame3, frame6, frame5, frame7};
}

void TfrmPrefer::createGeneralPage()
{
    QWidget *p = frame1;
    Label1 = label(p, "Label1", QStringLiteral("AlphaBlend:"), 17, 18);
    ScrollBar1 = named(new QSlider(Qt::Horizontal, p), "ScrollBar1");
    ScrollBar1->setGeometry(88, 16, 177, 22);
    ScrollBar1->setRange(kMinOpacity, 255);
    ScrollBar1->setSingleStep(10);
    ScrollBar1->setPageStep(10);
    ScrollBar1->setTickInterval(5);
    ScrollBar1->setTickPosition(QSlider::TicksBelow);
    ScrollBar1->setToolTip(tl::prefer::opacityHint(kMinOpacity));
    Label4 = label(p, "Label4", QStringLiteral("Language:"), 17, 41);
    cbLang = list(p, "cbLang", 94, 41, 168);
    Label9 = label(p, "Label9", QStringLiteral("Menu Style:"), 17, 67);
    cbMenuStyle = list(p, "cbMenuStyle", 94, 65, 168);
    createLockControl(p);
    cbMinEffect = checkBox(p, "cbMinEffect", QStringLiteral("Enable Effect On Minimization"), 17, 165);
    Label8 = label(p, "Label8", QStringLiteral("Associations file types by Tessaleaf:"), 17, 188);

    using tl::connectGuarded;
    connectGuarded(ScrollBar1, &QSlider::valueChanged, this, [this] { ScrollBar2Change(); });
    connectGuarded(cbLang, &QComboBox::activated, this, [this] { cbLangChange(); });
    connectGuarded(cbMenuStyle, &QComboBox::activated, this, [this] { cbMenuStyleChange(); });
    connectGuarded(cbMinEffect, &QCheckBox::toggled, this, [this] { cbMinEffectClick(); });
}

void TfrmPrefer::createEditorPage()
{
    QWidget *p = frame3;
    cbCursor = checkBox(p, "cbCursor", QStringLiteral("Use Cursor:"), 17, 24);
    feCursor = named(new QLineEdit(p), "feCursor");
    feCursor->setGeometry(110, 22, 128, 21);
    feCursor->setReadOnly(true);  // picked, never typed
    feCursor->setEnabled(false);
    feCursorButton = named(new QToolButton(p), "feCursorButton");
    feCursorButton->setText(QStringLiteral("..."));
    feCursorButton->setGeometry(240, 22, 22, 21);
    feCursorButton->setEnabled(false);
    cbSound = checkBox(p, "cbSound", QStringLiteral("Enable Sound"), 17, 52);
    cbURL = checkBox(p, "cbURL", QStringLiteral("Auto-highlight URLs in text"), 17, 80);
    cbURL->hide();  // "AutoURLDetect" is changed outside the program only
    // Spelling: its settings, and changed() for the window (app/dialogs.cpp).
    spellingOptions = new tl::SpellingOptions(m_settings, p);
    spellingOptions->move(17, 80);

    using tl::connectGuarded;
    connectGuarded(cbCursor, &QCheckBox::toggled, this, [this] { cbCursorClick(); });
    connectGuarded(feCursor, &QLineEdit::textChanged, this, [this] { feCursorChange(); });
    connectGuarded(feCursorButton, &QToolButton::clicked, this, [this] { feCursorBrowse(); });
    connectGuarded(cbSound, &QCheckBox::toggled, this, [this] { cbSoundClick(); });
    connectGuarded(cbURL, &QCheckBox::toggled, this, [this] { cbURLClick(); });
}

void TfrmPrefer::createConfirmationsPage()
{
    QWidget *p = frame6;
    cbSaving = checkBox(p, "cbSaving", QStringLiteral("Ask about saving for non *.nts files on exit"), 17, 24);
    cbdelNote = checkBox(p, "cbdelNote", QStringLiteral("Confirm deleting note"), 17, 48);
    cbDelFile = checkBox(p, "cbDelFile", QStringLiteral("Confirm deleting file"), 17, 72);
    cbExit = checkBox(p, "cbExit", QStringLiteral("Confirm exit without saving unsaved data"), 17, 96);

    using tl::connectGuarded;
    connectGuarded(cbSaving, &QCheckBox::toggled, this, [this] { cbSavingClick(); });
    connectGuarded(cbdelNote, &QCheckBox::toggled, this, [this] { cbdelNoteClick(); });
    connectGuarded(cbDelFile, &QCheckBox::toggled, this, [this] { cbDelFileClick(); });
    connectGuarded(cbExit, &QCheckBox::toggled, this, [this] { cbExitClick(); });

    lblTrashDays = label(p, "lblTrashDays", QStringLiteral("Keep deleted notes for days (0: always):"), 17, 128);
    spTrashDays = named(new QSpinBox(p), "spTrashDays");
    spTrashDays->setGeometry(17, 146, 70, 21);
    spTrashDays->setRange(0, 36500);
    lblTrashNotes = label(p, "lblTrashNotes", QStringLiteral("Keep at most deleted notes per file (0: all):"), 17, 176);
    spTrashNotes = named(new QSpinBox(p), "spTrashNotes");
    spTrashNotes->setGeometry(17, 194, 70, 21);
    spTrashNotes->setRange(0, 100000);
    lblTrashDays->setBuddy(spTrashDays);
    lblTrashNotes->setBuddy(spTrashNotes);
    for (QSpinBox *box : {spTrashDays, spTrashNotes})
        connectGuarded(box, &QSpinBox::valueChanged, this, [this] { trashLimitsChange(); });
}

void TfrmPrefer::createPersonalPage()
{
    QWidget *p = frame7;
    lblAuthor = label(p, "lblAuthor", QStringLiteral("Author Name"), 17, 22);
    txtAuthor = named(new QLineEdit(p), "txtAuthor");
    txtAuthor->setGeometry(17, 38, 240, 21);
    lblCompany = label(p, "lblCompany", QStringLiteral("Company Name"), 17, 66);
    txtCompany = named(new QLineEdit(p), "txtCompany");
    txtCompany->setGeometry(17, 82, 240, 21);
    lblCompress = label(p, "lblCompress", QStringLiteral("Default Compression Level (1..10):"), 17, 116);
    Edit1 = named(new QLineEdit(QStringLiteral("9"), p), "Edit1");
    Edit1->setGeometry(217, 113, 40, 21);

    // Stored when the box loses the focus, not on every key.
    auto onExit = [this](QLineEdit *box, void (TfrmPrefer::*exit)()) {
        new tl::EventHook(box, [this, exit](QEvent *e) {
            if (e->type() == QEvent::FocusOut)
                tl::runGuarded([this, exit] { (this->*exit)(); });
            return false;
        });
    };
    onExit(txtAuthor, &TfrmPrefer::txtAuthorExit);
    onExit(txtCompany, &TfrmPrefer::txtCompanyExit);
}

// --- the frame

void TfrmPrefer::FormCreate()
{
    // The handlers still store and set up their controls; the window hears
    // nothing, it follows these settings since start-up.
    const QSignalBlocker quiet(this);
    // (The fonts' character set of the Windows program has no counterpart:
    // every text here is Unicode.)
    cbMinEffect->setChecked(m_settings.isOn(s::MinEffect));
    readLockControl();
    ScrollBar1->setValue(std::max(m_window.opacity(), kMinOpacity));

    const QStringList languages = tl::i18n::languageList(m_programFolder);
    cbLang->clear();
    cbLang->addItems(languages);
    const QString language = tl::i18n::pickLanguage(languages, m_settings.GetFromReg(s::CurLanguage));
    cbLang->setCurrentIndex(language.isEmpty() ? -1 : int(languages.indexOf(language)));
    loadLanguage(cbLang->currentIndex() >= 0 ? cbLang->currentText() : QString());

    cbMenuStyle->setCurrentIndex(tl::strToInt(m_settings.GetFromReg(s::MenuStyle)));
    cbMenuStyleChange();
    cbElement->setCurrentIndex(tl::strToInt(m_settings.GetFromReg(s::LastElementEditor)));
    if (m_settings.isOn(s::AutoURLDetect))
        cbURL->setChecked(true);
    cbAddIcon->setCurrentIndex(int(tl::integration::LauncherPlace::Desktop));
    cbMenuStyleChange();  // the list's change handler
    if (m_settings.isOn(s::AskBySave))
        cbSaving->setChecked(true);
    if (m_settings.isOn(s::AskDelNote))
        cbdelNote->setChecked(true);
    if (m_settings.isOn(s::AskDelFile))
        cbDelFile->setChecked(true);
    cbExit->setChecked(m_settings.isOn(s::AskExit));
    {
        // Shown as stored; setting them tells nothing back.
        const QSignalBlocker days(spTrashDays), notes(spTrashNotes);
        spTrashDays->setValue(m_settings.GetFromRegInt(s::TrashDays));
        spTrashNotes->setValue(m_settings.GetFromRegInt(s::TrashNotes));
    }
    readFileTypes();
    skinsPage->txtskin->setText(m_settings.GetFromReg(s::SkinDir));

    const QString useCursor = m_settings.GetFromReg(s::UseCursor);
    if (useCursor == QLatin1String("1")) {
        cbCursor->setChecked(true);
    } else if (useCursor == QLatin1String("0")) {
        cbCursor->setChecked(false);
        feCursor->setEnabled(false);
        feCursorButton->setEnabled(false);
    }
    cbSound->setChecked(m_settings.isOn(s::EnableSound));
    feCursor->setText(m_settings.GetFromReg(s::MemoCursor));
    txtAuthor->setText(m_settings.GetFromReg(s::AuthorName));
    txtCompany->setText(m_settings.GetFromReg(s::CompanyName));
    cbLineColor->setColor(quint32(m_settings.GetFromRegInt(s::LineColor.inSkinSet(true))));
    cbSeparatLines->setChecked(m_settings.GetFromReg(s::EnableLine) == QLatin1String("True"));
    // The page built its list from the folder when it was made.
    skinsPage->SkinList->clear();
    skinsPage->LoadListSkin();
    loadHotKey();
}

void TfrmPrefer::FormShow()
{
    spellingOptions->readSettings();
    for (QGroupBox *p : pages())
        p->setGeometry(kPagePlace);
    // Hidden in the tray the window shows no opacity of its own: the one
    // it comes back with is the stored one.
    const bool shown = m_window.shown();
    const int opacity = shown ? m_window.opacity() : tl::strToInt(m_settings.GetFromReg(s::LastAlphaV));
    ScrollBar1->setValue(std::clamp(opacity, kMinOpacity, 255));
    if (shown && opacity < kMinOpacity)
        ScrollBar2Change();
    chStartUp->setChecked(tl::integration::hasAutostart(desktopPlaces));
    // The tree follows the page: a node left selected from last time could
    // not be clicked to bring its page back.
    {
        const QSignalBlocker quiet(tvMain);
        tvMain->setCurrentItem(tvMain->topLevelItem(0));
    }
    bringToFront(frame1);
    raise();
    activateWindow();
}

void TfrmPrefer::FormClose()
{
    SetHotKey();
}

void TfrmPrefer::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        tl::runGuarded([this] { FormShow(); });
}

void TfrmPrefer::done(int result)
{
    // Every way out (Close, the title bar's box, Escape) passes here.
    tl::runGuarded([this] { FormClose(); });
    QDialog::done(result);
}

void TfrmPrefer::bringToFront(QGroupBox *page)
{
    if (page == frame2)
        fillFontList();
    for (QGroupBox *p : pages())
        p->setVisible(p == page);
    page->raise();
    // The hot key's status belongs to the General page.
    lblHotKeyStatus->setVisible(page == frame1 && !lblHotKeyStatus->text().isEmpty());
}

int TfrmPrefer::shownPage() const
{
    const QList<QGroupBox *> all = pages();
    for (int i = 0; i < all.size(); ++i)
        if (all[i]->isVisibleTo(this))
            return i;
    return -1;
}

void TfrmPrefer::tvMainClick()
{
    const QList<QTreeWidgetItem *> selected = tvMain->selectedItems();
    if (selected.isEmpty())
        return;
    const int node = tvMain->indexOfTopLevelItem(selected.first());
    if (node >= 0 && node < 6)
        bringToFront(pages()[node]);
}

void TfrmPrefer::cmdCloseClick()
{
    close();
}

void TfrmPrefer::cmdHelpClick()
{
    Q_EMIT helpAsked();
}

void TfrmPrefer::loadLanguage(const QString &language)
{
    m_texts = tl::i18n::Texts::load(tl::i18n::preferTexts, m_programFolder, language);
    showTexts();
    spellingOptions->loadLanguage(m_programFolder, language);
    const int element = tl::strToInt(m_settings.GetFromReg(s::LastElementEditor));
    cbElement->setCurrentIndex(element >= 0 && element < cbElement->count() ? element : -1);
    const int style = tl::strToInt(m_settings.GetFromReg(s::MenuStyle));
    cbMenuStyle->setCurrentIndex(style >= 0 && style < cbMenuStyle->count() ? style : -1);
    cbElementChange();
}

void TfrmPrefer::showTexts()
{
    const tl::i18n::Texts &texts = m_texts;
    setWindowTitle(texts["frmprefer"]);
    setCaption(Label8, texts["frmPrefer.cbType"]);
    setCaption(chStartUp, texts["frmPrefer.chStartUp"]);
    setCaption(Label1, texts["frmPrefer.label1"]);
    setCaption(Label4, texts["frmPrefer.label4"]);
    setCaption(cbCursor, texts["frmPrefer.cbcursor"]);
    const std::string_view nodes[] = {"frmPrefer.tvgeneral",       "frmPrefer.tvfonts", "frmPrefer.tvtexteditor",
                                      "frmPrefer.tvnotifications", "frmPrefer.tvskins", "frmPrefer.tvpersonal"};
    const QList<QGroupBox *> all = pages();
    for (int i = 0; i < 6; ++i) {
        tvMain->topLevelItem(i)->setText(0, texts[nodes[i]]);
        all[i]->setTitle(texts[nodes[i]]);
    }
    setCaption(cbSaving, texts["frmPrefer.cbsaving"]);
    setCaption(cbdelNote, texts["frmPrefer.cbDelNote"]);
    setCaption(cbDelFile, texts["frmPrefer.cbDelFile"]);
    setCaption(cbExit, texts["frmPrefer.cbExit"]);
    for (QCheckBox *c : {cbdelNote, cbDelFile, cbExit})
        c->setToolTip(c->text());
    setCaption(lblTrashDays, texts["frmPrefer.lblTrashDays"]);
    setCaption(lblTrashNotes, texts["frmPrefer.lblTrashNotes"]);
    spTrashDays->setAccessibleName(lblTrashDays->text());
    spTrashNotes->setAccessibleName(lblTrashNotes->text());

    cbElement->clear();
    cbElement->addItems({texts["frmPrefer.toolbar"], texts["frmPrefer.SearchBar"], texts["frmPrefer.editor"],
                         texts["frmPrefer.infobar"]});
    cbMenuStyle->clear();
    cbMenuStyle->addItems({texts["frmPrefer.Menu_Style_Standart"], texts["frmPrefer.Menu_Style_Extended"]});

    setCaption(cbBold, texts["frmPrefer.cbbold"]);
    cmdDefault->setText(texts["frmPrefer.cmdDefault"]);
    cmdClose->setText(texts["frmPrefer.cmdClose"]);
    cmdHelp->setText(texts["frmPrefer.Help1"]);
    setCaption(Label2, texts["frmPrefer.element"]);
    setCaption(Label5, texts["frmPrefer.fontsize"]);
    setCaption(Label3, texts["frmPrefer.font"]);
    setCaption(Label6, texts["frmPrefer.font_color"]);
    setCaption(Label7, texts["frmPrefer.background_color"]);
    setCaption(Label9, texts["frmPrefer.Menu_style"]);
    setCaption(Label10, texts["frmPrefer.DisplayItems"]);
    setCaption(lblAddIcon, texts["frmPrefer.lblAddIcon"]);
    cmdAddIcon->setText(texts["frmPrefer.cmdAddIcon"]);
    setCaption(lblAuthor, texts["frmPrefer.txtAuthor"]);
    setCaption(lblCompany, texts["frmPrefer.txtCompany"]);
    setCaption(lblCompress, texts["frmPrefer.lblCompress"]);
    setCaption(cbSound, texts["frmPrefer.cbSound"]);
    setCaption(cbSeparatLines, texts["frmPrefer.cbSeparatLines"]);
    setCaption(cbMinEffect, texts["frmPrefer.cbMinEffect"]);
    setLockCaption(texts["frmPrefer.lblLock"]);
}

// --- General

void TfrmPrefer::ScrollBar2Change()
{
    const int position = ScrollBar1->value();
    Q_EMIT opacityChosen(position);
    ScrollBar1->setToolTip(tl::prefer::opacityHint(position));
}

void TfrmPrefer::cbLangChange()
{
    Q_EMIT languageChosen(cbLang->currentIndex() >= 0 ? cbLang->currentText() : QString());
}

void TfrmPrefer::cbMenuStyleChange()
{
    const int style = cbMenuStyle->currentIndex();
    m_settings.SetFromReg(s::MenuStyle, QString::number(style));
    Q_EMIT menuStyleChosen(style);
}

void TfrmPrefer::cbMinEffectClick()
{
    m_settings.SetFromReg(s::MinEffect, onOff(cbMinEffect->isChecked()));
}

// --- Editor

void TfrmPrefer::cbCursorClick()
{
    if (cbCursor->isChecked()) {
        feCursor->setEnabled(true);
        feCursorButton->setEnabled(true);
        m_settings.SetFromReg(s::UseCursor, QStringLiteral("1"));
        const QString file = feCursor->text();
        if (!file.isEmpty() && QFileInfo(file).isFile()) {
            m_settings.SetFromReg(s::MemoCursor, file);
            Q_EMIT editorCursorChosen(file);
        }
    } else {
        feCursor->setEnabled(false);
        feCursorButton->setEnabled(false);
        Q_EMIT editorCursorChosen({});
        m_settings.SetFromReg(s::UseCursor, QStringLiteral("0"));
    }
}

void TfrmPrefer::feCursorChange()
{
    const QString file = feCursor->text();
    if (file.isEmpty() || !QFileInfo(file).isFile() || !cbCursor->isChecked())
        return;
    Q_EMIT editorCursorChosen(file);
    m_settings.SetFromReg(s::MemoCursor, file);
}

void TfrmPrefer::feCursorBrowse()
{
    tl::FileDialogRequest request;
    request.filter = QStringLiteral("Windows Cursors (*.cur)");
    request.folder = QFileInfo(feCursor->text()).absolutePath();
    const QString name = m_services.dialogs->openFileName(this, request);
    if (!name.isEmpty())
        feCursor->setText(name);
}

void TfrmPrefer::cbSoundClick()
{
    m_settings.SetFromReg(s::EnableSound, onOff(cbSound->isChecked()));
}

void TfrmPrefer::cbURLClick()
{
    // The marks lie over the text: the note and its format stay as they are.
    Q_EMIT webAddressesMarked(cbURL->isChecked());
    m_settings.SetFromReg(s::AutoURLDetect, onOff(cbURL->isChecked()));
}

// --- Confirmations

void TfrmPrefer::cbSavingClick()
{
    m_settings.SetFromReg(s::AskBySave, onOff(cbSaving->isChecked()));
}

void TfrmPrefer::cbdelNoteClick()
{
    m_settings.SetFromReg(s::AskDelNote, onOff(cbdelNote->isChecked()));
}

void TfrmPrefer::cbDelFileClick()
{
    m_settings.SetFromReg(s::AskDelFile, onOff(cbDelFile->isChecked()));
}

void TfrmPrefer::cbExitClick()
{
    m_settings.SetFromReg(s::AskExit, onOff(cbExit->isChecked()));
}

void TfrmPrefer::trashLimitsChange()
{
    m_settings.SetFromRegInt(s::TrashDays, spTrashDays->value());
    m_settings.SetFromRegInt(s::TrashNotes, spTrashNotes->value());
    Q_EMIT trashLimitsChanged();
}

// --- Personal Data

void TfrmPrefer::txtAuthorExit()
{
    m_settings.SetFromReg(s::AuthorName, txtAuthor->text());
}

void TfrmPrefer::txtCompanyExit()
{
    m_settings.SetFromReg(s::CompanyName, txtCompany->text());
}
