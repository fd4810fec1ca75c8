#include "notes/TfrmInfo.h"

#include "app/TForm1.h"
#include "controls/eventhook.h"
#include "controls/guarded.h"
#include "i18n/texttables.h"
#include "notes/compressed.h"
#include "notes/fileinfo.h"
#include "notes/filekind.h"
#include "platform/atomicfile.h"
#include "platform/error.h"
#include "settings/settingstable.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
QLabel *valueLabel(const char *name)
{
    auto *l = new QLabel;
    l->setObjectName(QLatin1String(name));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}
} // namespace

TfrmInfo::TfrmInfo(TForm1 *form)
    : QDialog(form)
    , m_form(form)
{
    setObjectName(QStringLiteral("frmInfo"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    PageControl1 = new QTabWidget(this);

    tsGeneral = new QWidget;
    auto *general = new QFormLayout(tsGeneral);
    lblType = valueLabel("lblType");
    lblFolder = valueLabel("lblFolder");
    lblSize = valueLabel("lblSize");
    lblCreated = valueLabel("lblCreated");
    lblLastWrite = valueLabel("lblLastWrite");
    lblLastAccess = valueLabel("lblLastAccess");
    cbReadOnly = new QCheckBox;
    cbReadOnly->setObjectName(QStringLiteral("cbReadOnly"));
    general->addRow(caption("frmInfo.type"), lblType);
    general->addRow(caption("frmInfo.folder"), lblFolder);
    general->addRow(caption("frmInfo.size"), lblSize);
    general->addRow(caption("frmInfo.created"), lblCreated);
    general->addRow(caption("frmInfo.changed"), lblLastWrite);
    general->addRow(caption("frmInfo.opened"), lblLastAccess);
    general->addRow(caption("frmInfo.flags"), cbReadOnly);

    tsAuthor = new QWidget;
    auto *author = new QVBoxLayout(tsAuthor);
    txtAuthor = new QLineEdit;
    txtAuthor->setObjectName(QStringLiteral("txtAuthor"));
    txtCompany = new QLineEdit;
    txtCompany->setObjectName(QStringLiteral("txtCompany"));
    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    author->addWidget(caption("frmInfo.authorname"));
    author->addWidget(txtAuthor);
    author->addWidget(caption("frmInfo.company"));
    author->addWidget(txtCompany);
    author->addWidget(caption("frmInfo.lblcomments"));
    author->addWidget(Memo1);
    // The limit holds for typing and pasting alike: what goes past it is dropped.
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = Memo1->toPlainText();
        if (text.size() <= tl::maxCommentLength)
            return;
        QTextCursor c = Memo1->textCursor();
        const int at = std::min(c.position(), tl::maxCommentLength);
        Memo1->setPlainText(text.left(tl::maxCommentLength));
        c = Memo1->textCursor();
        c.setPosition(at);
        Memo1->setTextCursor(c);
    });

    tsStatistics = new QWidget;
    auto *stats = new QFormLayout(tsStatistics);
    lblCount = valueLabel("lblCount");
    lblCountChar = valueLabel("lblCountChar");
    lblCountChar2 = valueLabel("lblCountChar2");
    stats->addRow(caption("frmInfo.NumberOfNotes"), lblCount);
    stats->addRow(caption("frminfo.lblwospc"), lblCountChar);
    stats->addRow(caption("frminfo.lblwithspc"), lblCountChar2);

    tsCompression = new QWidget;
    auto *compression = new QVBoxLayout(tsCompression);
    cbCompress = new QCheckBox;
    cbCompress->setObjectName(QStringLiteral("cbCompress"));
    slCompress = new QSlider(Qt::Horizontal);
    slCompress->setObjectName(QStringLiteral("slCompress"));
    slCompress->setRange(0, 9);
    slCompress->setSingleStep(1);
    slCompress->setPageStep(1);
    slCompress->setTickPosition(QSlider::TicksBelow);
    slCompress->setTickInterval(1);
    compression->addWidget(cbCompress);
    compression->addWidget(caption("frmInfo.lblCompressionLevel"));
    compression->addWidget(slCompress);
    auto *ends = new QHBoxLayout;
    ends->addWidget(caption("frmInfo.lbllow"));
    ends->addStretch();
    ends->addWidget(caption("frmInfo.lblHi"));
    compression->addLayout(ends);
    compression->addStretch();

    PageControl1->addTab(tsGeneral, QString());
    PageControl1->addTab(tsAuthor, QString());
    PageControl1->addTab(tsStatistics, QString());
    PageControl1->addTab(tsCompression, QString());
    PageControl1->setCurrentWidget(tsStatistics); // first time; later the page last shown

    cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton;
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *all = new QVBoxLayout(this);
    all->addWidget(PageControl1);
    all->addLayout(buttons);

    tl::connectGuarded(cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
    connect(cbCompress, &QCheckBox::toggled, this, [this] { cbCompressClick(); });
    connect(slCompress, &QSlider::valueChanged, this, [this] { slCompressChange(); });
    loadLanguage(QString());
    setFixedSize(sizeHint().expandedTo(QSize(360, 330)));
}

QLabel *TfrmInfo::caption(std::string_view key)
{
    auto *label = new QLabel;
    m_captions.emplace_back(label, key);
    return label;
}

void TfrmInfo::loadLanguage(const QString &language)
{
    m_texts = tl::i18n::Texts::load(tl::i18n::infoTexts, m_form->programFolder(), language);
    for (const auto &[label, key] : m_captions)
        label->setText(m_texts[key]);
    cbReadOnly->setText(m_texts["frmInfo.readonly"]);
    cbCompress->setText(m_texts["frmInfo.cbCompress"]);
    cmdCancel->setText(m_texts["frmInfo.cmdcancel"]);
    PageControl1->setTabText(PageControl1->indexOf(tsGeneral), m_texts["frmInfo.general"]);
    PageControl1->setTabText(PageControl1->indexOf(tsAuthor), m_texts["frmInfo.author"]);
    PageControl1->setTabText(PageControl1->indexOf(tsStatistics), m_texts["frmInfo.statistics"]);
    PageControl1->setTabText(PageControl1->indexOf(tsCompression), m_texts["frmInfo.compression"]);
}

QString TfrmInfo::describedFile() const
{
    return m_realPath.isEmpty() ? m_form->CurrentFile() : m_realPath;
}

void TfrmInfo::FormShow()
{
    cbCompress->setChecked(false);
    slCompress->setValue(6);
    const QString current = m_form->CurrentFile();
    const bool notes = tl::extensionOf(current) == QLatin1String(".nts");
    m_realPath = notes && QFileInfo(current).isFile() ? m_form->GetNotesParam(QStringLiteral("RealPath")) : QString();
    // The texts of the language in use now: the switch does not reach this dialog.
    loadLanguage(m_form->GetFromReg(tl::setting::CurLanguage));
    setWindowTitle(m_texts["frminfo"]);
    if (!QFileInfo(current).isFile())
        return;

    const QString file = describedFile();
    const QFileInfo fi(file);
    lblFolder->setText(QDir::toNativeSeparators(fi.absolutePath()));
    lblFolder->setToolTip(lblFolder->text());
    lblSize->setText(QString::number(fi.size()) + QStringLiteral(" bytes"));
    setWindowTitle(m_texts["frminfo"] + QStringLiteral(": ") + fi.fileName());

    const bool readOnly = tl::isReadOnlyFile(current);
    if (notes) {
        lblType->setText(QStringLiteral("File of Notes"));
        lblCount->setText(QString::number(m_form->myFileSize(current)));
        txtAuthor->setText(m_form->GetNotesParam(QStringLiteral("AuthorName")));
        txtCompany->setText(m_form->GetNotesParam(QStringLiteral("CompanyName")));
        Memo1->setPlainText(tl::commentsFromStored(m_form->GetNotesParam(QStringLiteral("Comments"))));
        cbCompress->setChecked(!m_realPath.isEmpty());
        const QString level = m_form->GetNotesParam(QStringLiteral("CompressLevel"));
        if (!level.isEmpty())
            slCompress->setValue(std::clamp(tl::strToInt(level), 0, 9));
        cbReadOnly->setChecked(readOnly);
        for (QWidget *w : std::initializer_list<QWidget *> { txtAuthor, txtCompany, Memo1, cbCompress })
            w->setEnabled(!readOnly);
    } else {
        lblType->setText(QStringLiteral("Text file"));
        lblCount->setText(QStringLiteral("1"));
        for (QWidget *w : std::initializer_list<QWidget *> { txtAuthor, txtCompany, cbCompress, Memo1 })
            w->setEnabled(false);
        cbReadOnly->setChecked(readOnly);
    }

    // The times; one the file system does not keep reads "unknown".
    QFile probe(file);
    if (!probe.open(QIODevice::ReadOnly)) {
        m_form->ShowSystemError(errno ? errno : EACCES);
        for (QLabel *l : { lblCreated, lblLastWrite, lblLastAccess })
            l->setText(QStringLiteral("unknown"));
    } else {
        lblCreated->setText(tl::propertiesTime(fi.birthTime()));
        lblLastWrite->setText(tl::propertiesTime(fi.lastModified()));
        lblLastAccess->setText(tl::propertiesTime(fi.lastRead()));
    }
    cbCompressClick();

    const tl::SymbolCounts counts = tl::countSymbols(m_form->memo1->toPlainText());
    lblCountChar2->setText(QString::number(counts.withSpaces));
    lblCountChar->setText(QString::number(counts.withoutSpaces));
}

void TfrmInfo::applyReadOnly(const QString &file, bool readOnly)
{
    // "Read-only alone" takes every write bit; "archive alone" gives the owner write.
    QFileDevice::Permissions p = QFile::permissions(file);
    if (readOnly)
        p &= ~(QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup | QFileDevice::WriteOther);
    else
        p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    QFile::setPermissions(file, p);
}

void TfrmInfo::cmdOKClick()
{
    const QString current = m_form->CurrentFile();
    const bool notes = tl::extensionOf(current) == QLatin1String(".nts");
    const QString file = describedFile();
    const bool readOnly = cbReadOnly->isChecked();
    if (!m_realPath.isEmpty() && QFileInfo(current).isFile()) {
        // The working copy follows its archive. Before the archive turns
        // read-only it gets everything the copy holds: it could not be
        // written at closing any more.
        if (readOnly && !tl::isReadOnlyFile(file) && !tl::isReadOnlyFile(current)) {
            m_form->StoreShownNote();
            try {
                tl::compressed::packNotes(current, file, m_form->CurrentZipLevel);
            } catch (const tl::Error &e) {
                m_form->services().dialogs->messageBox(this, QStringLiteral("Tessaleaf"),
                    QStringLiteral(
                        "\"%1\" was not made read-only: the compressed file could not be written first.\n\n%2")
                        .arg(QDir::toNativeSeparators(file), e.message()),
                    tl::MsgButtons::Ok, tl::MsgIcon::Error);
                return;
            }
        }
        applyReadOnly(current, readOnly);
    }
    applyReadOnly(file, readOnly);

    if (notes) {
        m_form->SetNotesParam(QStringLiteral("AuthorName"), txtAuthor->text());
        m_form->SetNotesParam(QStringLiteral("CompanyName"), txtCompany->text());
        m_form->SetNotesParam(QStringLiteral("Comments"), tl::commentsToStored(Memo1->toPlainText()));
        if (cbCompress->isChecked() && !tl::isReadOnlyFile(current)) {
            m_form->SetNotesParam(QStringLiteral("CompressLevel"), QString::number(slCompress->value()));
            m_form->StoreShownNote();
            const QString archive =
                m_form->CompressFile(m_realPath.isEmpty() ? TForm1::PackPlainFile : TForm1::PackWorkingCopy);
            if (!archive.isEmpty())
                m_form->OpenNotes(archive);
        } else if (!cbCompress->isChecked() && !m_realPath.isEmpty()) {
            m_form->StoreShownNote();
            m_form->DecompressFile(TForm1::UnpackPlainFile);
        }
        m_form->pShowPanelInfo(m_form->CurrentFile());
    } else {
        m_form->pShowPanelInfo(current);
    }
    accept();
}

void TfrmInfo::cmdCancelClick()
{
    reject();
}

void TfrmInfo::cbCompressClick()
{
    slCompress->setEnabled(cbCompress->isChecked());
}

void TfrmInfo::slCompressChange()
{
    m_form->CurrentZipLevel = slCompress->value();
}

// --- the main window's side

void TForm1::ShowSystemError(int code)
{
    m_services.dialogs->messageBox(this, QStringLiteral("Error"),
        QString::fromLocal8Bit(std::strerror(code)).left(1024), tl::MsgButtons::Ok, tl::MsgIcon::Error);
}

void TForm1::Fileinformation1Click()
{
    if (CurrentFile().isEmpty() || !QFileInfo(CurrentFile()).isFile())
        return;
    if (!frmInfo)
        frmInfo = new TfrmInfo(this);
    yieldTop(true);
    // A broken value stops the filling; the dialog opens as far as it got.
    tl::runGuarded([this] { frmInfo->FormShow(); });
    frmInfo->exec();
    yieldTop(false);
}

void TForm1::Panel1Click()
{
    Fileinformation1Click();
}

void TForm1::wireInfoComponents()
{
    new tl::EventHook(Panel1, [this](QEvent *e) {
        if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton)
            tl::runGuarded([this] { Panel1Click(); });
        return false;
    });
}
