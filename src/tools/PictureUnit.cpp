#include "tools/PictureUnit.h"

TPictureForm* PictureForm = nullptr;

TPictureForm::TPictureForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("PictureForm"));
    setWindowTitle(QStringLiteral("Picture Viewer"));
    resize(640, 480);
}

void TPictureForm::RefreshPictureList() {}

void TPictureForm::ShowPicture(const QString& path) {
    Q_UNUSED(path);
    show();
}
