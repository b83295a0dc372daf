#include "control/ui/InfoDlg.h"

#include "control/app/UiScale.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

InfoDlg::InfoDlg(const BasicInfoBlock& block, bool developerMode, double scale, QWidget* parent)
    : QDialog(parent), editor_(block, developerMode)
{
    setWindowTitle(tr("Info"));
    auto sized = [scale](int size) { return UiScale::scaled(size, scale); };
    setMinimumSize(sized(540), sized(520));
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(BasicInfoEditor::RowCount, 2, this);
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(sized(34));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < BasicInfoEditor::RowCount; ++row) {
        auto* caption = new QTableWidgetItem(BasicInfoEditor::caption(row));
        caption->setForeground(QColor(75, 150, 200));
        caption->setFlags(Qt::ItemIsEnabled);
        table_->setItem(row, 0, caption);
        auto* value = new QTableWidgetItem;
        value->setFlags(editor_.isEditable(row) ? Qt::ItemIsEnabled | Qt::ItemIsEditable : Qt::ItemIsEnabled);
        table_->setItem(row, 1, value);
    }
    layout->addWidget(table_, 1);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("infoProblem"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #f3a335;"));
    layout->addWidget(problem_);
    auto* back = new QPushButton(tr("Back"), this);
    back->setMinimumSize(sized(120), sized(44));
    connect(back, &QPushButton::clicked, this, &InfoDlg::OnExit);
    layout->addWidget(back, 0, Qt::AlignCenter);
    connect(table_, &QTableWidget::cellClicked, this, &InfoDlg::EditInfoCell);
    connect(table_, &QTableWidget::itemChanged, this, &InfoDlg::cellChanged);
    showValues();
}

QString InfoDlg::problemText() const
{
    return problem_->text();
}

void InfoDlg::EditInfoCell(int row, int column)
{
    if (column == 1 && editor_.isEditable(row))
        table_->editItem(table_->item(row, 1));
}

void InfoDlg::OnExit()
{
    accept();
}

void InfoDlg::cellChanged(QTableWidgetItem* item)
{
    if (showing_ || item->column() != 1)
        return;
    QString reason;
    if (editor_.edit(item->row(), item->text(), &reason))
        problem_->clear();
    else
        problem_->setText(reason);
    showValues(); // the value as stored: cut, or put back
}

void InfoDlg::showValues()
{
    showing_ = true;
    for (int row = 0; row < BasicInfoEditor::RowCount; ++row)
        table_->item(row, 1)->setText(editor_.text(row));
    showing_ = false;
}
