#include "port/TfrmPort.h"

#include "platform/services.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using tl::port::ExportFormat;
using tl::port::ImportKind;

namespace {

constexpr ExportFormat kFormats[] = {ExportFormat::Html, ExportFormat::Markdown, ExportFormat::Text,
                                     ExportFormat::Pdf, ExportFormat::RtfFolder};
constexpr ImportKind kKinds[] = {ImportKind::Gnote, ImportKind::Tomboy,  ImportKind::Xpad, ImportKind::Xfce4Notes,
                                 ImportKind::Sticky, ImportKind::KNotes, ImportKind::Files};

QString suffixOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Html: return QStringLiteral(".html");
    case ExportFormat::Markdown: return QStringLiteral(".md");
    case ExportFormat::Text: return QStringLiteral(".txt");
    case ExportFormat::Pdf: return QStringLiteral(".pdf");
    case ExportFormat::RtfFolder: return QStringLiteral(" notes");
    }
    return {};
}

QString kindLabel(ImportKind kind, const tl::i18n::Texts &texts)
{
    switch (kind) {
    case ImportKind::Gnote: return QStringLiteral("Gnote");
    case ImportKind::Tomboy: return QStringLiteral("Tomboy");
    case ImportKind::Xpad: return QStringLiteral("xpad");
    case ImportKind::Xfce4Notes: return QStringLiteral("Xfce Notes");
    case ImportKind::Sticky: return QStringLiteral("Sticky Notes");
    case ImportKind::KNotes: return QStringLiteral("KNotes");
    case ImportKind::Files: return texts["frmPort.files"];
    }
    return {};
}

// The accessible name of a control: its label's text without the access key.
QString plain(const QString &text)
{
    QString t = text;
    return t.remove(QLatin1Char('&')).remove(QLatin1Char(':')).trimmed();
}

} // namespace

TfrmPort::TfrmPort(QWidget *parent, tl::IDialogs &dialogs, Mode mode, const tl::i18n::Texts &texts)
    : QDialog(parent), m_dialogs(dialogs), m_mode(mode), m_texts(texts)
{
    setObjectName(QStringLiteral("frmPort"));
    setWindowTitle(texts[mode == Mode::Export ? "frmPortExport" : "frmPortImport"]);
    auto *form = new QFormLayout;

    cboChoice = new QComboBox(this);
    cboChoice->setObjectName(QStringLiteral("cboChoice"));
    lblChoice = new QLabel(texts[mode == Mode::Export ? "frmPort.lblFormat" : "frmPort.lblKind"], this);
    lblChoice->setBuddy(cboChoice);
    cboChoice->setAccessibleName(plain(lblChoice->text()));
    form->addRow(lblChoice, cboChoice);

    auto withButton = [this](QWidget *field, QPushButton *button) {
        auto *row = new QHBoxLayout;
        row->addWidget(field, 1);
        row->addWidget(button);
        return row;
    };
    if (mode == Mode::Import) {
        for (ImportKind k : kKinds)
            cboChoice->addItem(kindLabel(k, texts));
        cboSource = new QComboBox(this);
        cboSource->setObjectName(QStringLiteral("cboSource"));
        cboSource->setEditable(true);
        cboSource->setMinimumContentsLength(40);
        cmdBrowseSource = new QPushButton(texts["frmPort.cmdBrowseSource"], this);
        cmdBrowseSource->setObjectName(QStringLiteral("cmdBrowseSource"));
        lblSource = new QLabel(texts["frmPort.lblSource"], this);
        lblSource->setBuddy(cboSource);
        cboSource->setAccessibleName(plain(lblSource->text()));
        cmdBrowseSource->setAccessibleName(plain(lblSource->text()) + QStringLiteral(": ") + plain(cmdBrowseSource->text()));
        form->addRow(lblSource, withButton(cboSource, cmdBrowseSource));
        QObject::connect(cmdBrowseSource, &QPushButton::clicked, this, [this] { browseSource(); });
    } else {
        const char *names[] = {"frmPort.html", "frmPort.md", "frmPort.txt", "frmPort.pdf", "frmPort.rtfdir"};
        for (const char *n : names)
            cboChoice->addItem(texts[n]);
    }

    txtTarget = new QLineEdit(this);
    txtTarget->setObjectName(QStringLiteral("txtTarget"));
    txtTarget->setMinimumWidth(320);
    cmdBrowse = new QPushButton(texts["frmPort.cmdBrowse"], this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    lblTarget = new QLabel(texts[mode == Mode::Export ? "frmPort.lblTarget" : "frmPort.lblNewFile"], this);
    lblTarget->setBuddy(txtTarget);
    txtTarget->setAccessibleName(plain(lblTarget->text()));
    cmdBrowse->setAccessibleName(plain(lblTarget->text()) + QStringLiteral(": ") + plain(cmdBrowse->text()));
    form->addRow(lblTarget, withButton(txtTarget, cmdBrowse));
    QObject::connect(cmdBrowse, &QPushButton::clicked, this, [this] { browseTarget(); });

    cmdOK = new QPushButton(texts["frmPort.cmdOK"], this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(texts["frmPort.cmdCancel"], this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdOK->setAccessibleName(cmdOK->text());
    cmdCancel->setAccessibleName(cmdCancel->text());
    QObject::connect(cmdOK, &QPushButton::clicked, this, &TfrmPort::accept);
    QObject::connect(cmdCancel, &QPushButton::clicked, this, &TfrmPort::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    if (mode == Mode::Export)
        QObject::connect(cboChoice, &QComboBox::currentIndexChanged, this, [this] { formatChanged(); });
    else
        QObject::connect(cboChoice, &QComboBox::currentIndexChanged, this, [this] { kindChanged(); });
    if (mode == Mode::Import)
        kindChanged();
    cboChoice->setFocus();
}

void TfrmPort::proposeTarget(const QString &pathWithoutSuffix)
{
    m_base = pathWithoutSuffix;
    formatChanged();
}

void TfrmPort::proposeNewFile(const QString &path) { txtTarget->setText(QDir::toNativeSeparators(path)); }

ExportFormat TfrmPort::format() const { return kFormats[std::max(0, cboChoice->currentIndex())]; }
ImportKind TfrmPort::kind() const { return kKinds[std::max(0, cboChoice->currentIndex())]; }
QString TfrmPort::source() const { return cboSource ? cboSource->currentText().trimmed() : QString(); }
QString TfrmPort::target() const { return txtTarget->text().trimmed(); }

void TfrmPort::formatChanged()
{
    if (!m_base.isEmpty())
        txtTarget->setText(QDir::toNativeSeparators(m_base + suffixOf(format())));
}

void TfrmPort::kindChanged()
{
    cboSource->clear();
    const QStringList places = tl::port::usualPlaces(kind());
    for (const QString &p : places)
        cboSource->addItem(QDir::toNativeSeparators(p));
    cboSource->setCurrentIndex(places.isEmpty() ? -1 : 0);
    if (places.isEmpty())
        cboSource->setEditText(QString());
}

void TfrmPort::browseTarget()
{
    tl::FileDialogRequest request;
    request.caption = windowTitle();
    const QFileInfo now(target());
    request.folder = now.absolutePath();
    request.fileName = target();
    if (m_mode == Mode::Import) {
        request.filter = QStringLiteral("File of Notes (*.nts)");
        request.defaultSuffix = QStringLiteral("nts");
    } else if (format() != ExportFormat::RtfFolder) {
        const QString suffix = suffixOf(format()).mid(1);
        request.filter = QStringLiteral("%1 (*.%2)").arg(cboChoice->currentText(), suffix);
        request.defaultSuffix = suffix;
    }
    const QString chosen = m_dialogs.saveFileName(this, request);
    if (!chosen.isEmpty()) {
        txtTarget->setText(QDir::toNativeSeparators(chosen));
        m_base.clear();  // a name chosen stays as chosen
    }
}

void TfrmPort::browseSource()
{
    QString chosen;
    const ImportKind k = kind();
    if (k == ImportKind::KNotes || k == ImportKind::Sticky) {
        tl::FileDialogRequest request;
        request.caption = windowTitle();
        request.folder = QFileInfo(source()).absolutePath();
        request.filter = k == ImportKind::KNotes ? QStringLiteral("iCalendar (*.ics);;All files (*)")
                                                 : QStringLiteral("JSON (*.json);;All files (*)");
        chosen = m_dialogs.openFileName(this, request);
    } else {
        chosen = m_dialogs.existingFolder(this, windowTitle(), source());
    }
    if (!chosen.isEmpty())
        cboSource->setEditText(QDir::toNativeSeparators(chosen));
}

void TfrmPort::accept()
{
    if (target().isEmpty() || (cboSource && source().isEmpty())) {
        m_dialogs.messageBox(this, windowTitle(), m_texts["frmPort.noTarget"], tl::MsgButtons::Ok,
                             tl::MsgIcon::Warning);
        return;
    }
    QDialog::accept();
}
