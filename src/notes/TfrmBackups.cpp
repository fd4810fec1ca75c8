#include "notes/TfrmBackups.h"

#include "controls/guarded.h"
#include "notes/trash.h"
#include "platform/error.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString spoken(QString text)
{
    return text.remove(QLatin1Char('&'));
}

QTreeWidget *listOf(QWidget *parent, const char *name, int columns)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setColumnCount(columns);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);
    return list;
}

} // namespace

TfrmBackups::TfrmBackups(QWidget *parent, const QString &programFolder)
    : QDialog(parent), m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("frmBackups"));
    resize(480, 380);
    lblBackups = new QLabel(this);
    lblBackups->setObjectName(QStringLiteral("lblBackups"));
    lvBackups = listOf(this, "lvBackups", 3);
    lblChanges = new QLabel(this);
    lblChanges->setObjectName(QStringLiteral("lblChanges"));
    lvChanges = listOf(this, "lvChanges", 2);
    lblBackups->setBuddy(lvBackups);
    lblChanges->setBuddy(lvChanges);
    auto button = [this](const char *name) {
        auto *b = new QPushButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdRestoreNote = button("cmdRestoreNote");
    cmdRestoreFile = button("cmdRestoreFile");
    cmdClose = button("cmdClose");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdRestoreNote);
    buttons->addWidget(cmdRestoreFile);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblBackups);
    layout->addWidget(lvBackups, 2);
    layout->addWidget(lblChanges);
    layout->addWidget(lvChanges, 3);
    layout->addLayout(buttons);

    using tl::connectGuarded;
    connectGuarded(lvBackups, &QTreeWidget::currentItemChanged, this, [this] { showDifferences(); });
    connectGuarded(lvChanges, &QTreeWidget::currentItemChanged, this, [this] { updateButtons(); });
    connectGuarded(lvChanges, &QTreeWidget::itemActivated, this, [this] { cmdRestoreNote->click(); });
    connectGuarded(cmdRestoreNote, &QPushButton::clicked, this, [this] {
        const QTreeWidgetItem *item = lvChanges->currentItem();
        const int row = item ? lvChanges->indexOfTopLevelItem(const_cast<QTreeWidgetItem *>(item)) : -1;
        if (row >= 0 && row < int(m_diffs.size()) && m_diffs[size_t(row)].backupIndex >= 0)
            Q_EMIT restoreNoteAsked(m_diffs[size_t(row)].backupText);
    });
    connectGuarded(cmdRestoreFile, &QPushButton::clicked, this, [this] {
        if (const QString backup = chosenBackup(); !backup.isEmpty())
            Q_EMIT restoreFileAsked(backup);
    });
    connectGuarded(cmdClose, &QPushButton::clicked, this, [this] { reject(); });
    loadLanguage({});
}

void TfrmBackups::loadLanguage(const QString &language)
{
    if (!language.isEmpty())
        m_texts = tl::i18n::Texts::load(tl::i18n::backupsTexts, m_programFolder, language);
    setWindowTitle(text("frmBackups"));
    lblBackups->setText(text("frmBackups.backups"));
    lblChanges->setText(text("frmBackups.changes"));
    lvBackups->setHeaderLabels({text("frmBackups.date"), text("frmBackups.notes"), text("frmBackups.size")});
    lvChanges->setHeaderLabels({text("frmBackups.change"), text("frmBackups.firstline")});
    lvBackups->setAccessibleName(spoken(text("frmBackups.backups")));
    lvChanges->setAccessibleName(spoken(text("frmBackups.changes")));
    for (const auto &[b, key] : {std::pair{cmdRestoreNote, "frmBackups.cmdRestoreNote"},
                                 std::pair{cmdRestoreFile, "frmBackups.cmdRestoreFile"},
                                 std::pair{cmdClose, "frmBackups.cmdClose"}}) {
        b->setText(text(key));
        b->setAccessibleName(spoken(text(key)));
    }
}

void TfrmBackups::setFile(const QString &root, const QString &file, const QString &notesPath)
{
    m_root = root;
    m_file = file;
    m_notesPath = notesPath;
    refresh();
}

void TfrmBackups::refresh()
{
    const QString was = chosenBackup();
    m_copies = tl::backup::list(m_root, m_file);
    const QSignalBlocker quiet(lvBackups);
    lvBackups->clear();
    const QLocale locale;
    int current = 0;
    for (size_t i = 0; i < m_copies.size(); ++i) {
        const tl::backup::Copy &c = m_copies[i];
        QString notes = QStringLiteral("?");  // an archive or an encrypted copy is not read here
        try {
            notes = QString::number(tl::backup::notesOf(c.path).size());
        } catch (const std::exception &) {
        }
        auto *item = new QTreeWidgetItem(lvBackups, {locale.toString(c.taken, QLocale::ShortFormat), notes,
                                                     locale.formattedDataSize(c.size)});
        item->setData(1, Qt::TextAlignmentRole, int(Qt::AlignRight | Qt::AlignVCenter));
        if (c.path == was)
            current = int(i);
    }
    if (!m_copies.empty())
        lvBackups->setCurrentItem(lvBackups->topLevelItem(current));
    showDifferences();
}

QString TfrmBackups::chosenBackup() const
{
    QTreeWidgetItem *item = lvBackups->currentItem();
    const int row = item ? lvBackups->indexOfTopLevelItem(item) : -1;
    return row >= 0 && row < int(m_copies.size()) ? m_copies[size_t(row)].path : QString();
}

void TfrmBackups::showDifferences()
{
    lvChanges->clear();
    m_diffs.clear();
    const QString backup = chosenBackup();
    if (backup.isEmpty()) {
        new QTreeWidgetItem(lvChanges, {QString(), text("frmBackups.none")});
        updateButtons();
        return;
    }
    try {
        m_diffs = tl::backup::differences(tl::backup::notesOf(backup), tl::backup::notesOf(m_notesPath));
    } catch (const tl::Error &e) {
        new QTreeWidgetItem(lvChanges, {QString(), text("frmBackups.unreadable").arg(e.message())});
        updateButtons();
        return;
    }
    for (const tl::backup::Difference &d : m_diffs) {
        using K = tl::backup::Difference;
        const char *kind = d.kind == K::Removed ? "frmBackups.removed"
                         : d.kind == K::Added   ? "frmBackups.added"
                                                : "frmBackups.changed";
        const QString line = tl::trash::firstLine(d.kind == K::Added ? d.fileText : d.backupText);
        new QTreeWidgetItem(lvChanges, {text(kind), line.isEmpty() ? text("frmBackups.emptynote") : line});
    }
    if (!m_diffs.empty())
        lvChanges->setCurrentItem(lvChanges->topLevelItem(0));
    updateButtons();
}

void TfrmBackups::updateButtons()
{
    QTreeWidgetItem *item = lvChanges->currentItem();
    const int row = item ? lvChanges->indexOfTopLevelItem(item) : -1;
    cmdRestoreNote->setEnabled(row >= 0 && row < int(m_diffs.size()) && m_diffs[size_t(row)].backupIndex >= 0);
    cmdRestoreFile->setEnabled(!chosenBackup().isEmpty());
}
