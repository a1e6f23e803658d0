#include "app/EditorProgram.h"

#include "app/MainUnit.h"
#include "platform/ui/PaintBox.h"
#include "tools/PictureUnit.h"

namespace qb {

EditorServices MainFormEditorServices(TMainForm& form) {
    EditorServices services;
    services.showStatus = [&form](const QString& text) { form.ShowStatus(text); };
    services.titlePaint = [&form](PaintBox& sender, QPainter& canvas) {
        form.TitlePaintBoxPaint(sender, canvas);
    };
    services.documentPopup = [&form] { return form.DocumentPopup; };
    services.refreshCalendars = [&form] {
        if (form.RefreshCalendars) {
            form.RefreshCalendars();
        }
    };
    services.refreshDocumentList = [&form] {
        if (form.RefreshDocumentList) {
            form.RefreshDocumentList();
        }
    };
    services.showPicture = [](const QString& path) {
        if (PictureForm) {
            PictureForm->ShowPicture(path);
        }
    };
    CompleteEditorServices(services);
    return services;
}

}  // namespace qb
