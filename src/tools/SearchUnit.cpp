#include "tools/SearchUnit.h"

#include <QLabel>
#include <QLineEdit>

TSearchForm* SearchForm = nullptr;

TSearchForm::TSearchForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("SearchForm"));
    setWindowTitle(QStringLiteral("Search"));
    resize(480, 360);
    auto* label = new QLabel(QStringLiteral("Search For:"), this);
    label->move(12, 14);
    SearchEdit = new QLineEdit(this);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    SearchEdit->setGeometry(90, 10, 250, 21);
}
