#include "skins/skinspage.h"

#include "app/TForm1.h"
#include "controls/guarded.h"
#include "settings/settingstable.h"
#include "skins/skinfiles.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace s = tl::setting;

TSkinsPage::TSkinsPage(TForm1 *form, QWidget *parent)
    : QWidget(parent),
      m_form(form)
{
    setObjectName(QStringLiteral("frame5"));
    txtskin = new QLineEdit(this);
    txtskin->setObjectName(QStringLiteral("txtskin"));
    txtskin->setReadOnly(true);  // changed only through the folder dialog
    cmdBrowse = new QToolButton(this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse->setText(QStringLiteral("..."));
    cmdBrowse->setToolTip(QStringLiteral("Change the directory"));
    SkinList = new QListWidget(this);
    SkinList->setObjectName(QStringLiteral("SkinList"));
    SkinList->setViewMode(QListView::ListMode);
    SkinList->setFlow(QListView::TopToBottom);
    SkinList->setWrapping(true);
    SkinList->setResizeMode(QListView::Adjust);
    SkinList->setSelectionMode(QAbstractItemView::SingleSelection);

    auto *row = new QHBoxLayout;
    row->addWidget(txtskin);
    row->addWidget(cmdBrowse);
    auto *column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(SkinList);

    tl::connectGuarded(cmdBrowse, &QToolButton::clicked, this, [this] { cmdBrowseClick(); });
    tl::connectGuarded(SkinList, &QListWidget::itemSelectionChanged, this, [this] { SkinListSelectItem(); });

    txtskin->setText(m_form->GetFromReg(s::SkinDir));
    LoadListSkin();
}

void TSkinsPage::LoadListSkin()
{
    const QString folder = txtskin->text();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    SkinList->addItems(tl::skin::listSkins(folder));
}

void TSkinsPage::SkinListSelectItem()
{
    // The copy of an archive skin chosen here stays until the menu or the
    // end of the program removes it.
    const QList<QListWidgetItem *> selected = SkinList->selectedItems();
    if (!selected.isEmpty())
        m_form->LoadSkin(selected.first()->text());
}

void TSkinsPage::txtskinAfterDialog(QString &name, bool &action)
{
    if (!action)
        return;
    SkinList->clear();
    txtskin->setText(name);
    m_form->SetFromReg(s::SkinDir, name);
    m_form->PaintMenuSkin();
    LoadListSkin();
}

void TSkinsPage::cmdBrowseClick()
{
    QString name = m_form->services().dialogs->existingFolder(this, QStringLiteral("Select Skin Directory"),
                                                              txtskin->text());
    bool action = !name.isEmpty();
    txtskinAfterDialog(name, action);
}
