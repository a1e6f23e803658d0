#pragma once
// The picture viewer. For now a plain window with the one routine that start-up calls; the
// viewer itself comes with its own work.

#include <QWidget>

class TPictureForm : public QWidget {
    Q_OBJECT

  public:
    explicit TPictureForm(QWidget* parent = nullptr);

    // Builds the list of the diary's pictures (nothing to build yet).
    void RefreshPictureList();
    // Shows the picture file at path (for now only the window).
    void ShowPicture(const QString& path);
};

extern TPictureForm* PictureForm;
