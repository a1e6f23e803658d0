#include "pages/DocumentUnit.h"

#include "platform/core/Dialogs.h"
#include "platform/db/Table.h"
#include "platform/ui/Components.h"
#include "platform/ui/Guard.h"
#include "program/StaticUnit.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>

#include <string>
#include <utility>
#include <vector>

namespace qb {
namespace {

// Marks the labels and menu items a refresh made, so that the next refresh frees them and
// nothing else.
constexpr char kDocumentEntry[] = "qbDocumentEntry";
const QString kLabelIndent = QStringLiteral("        ");

bool isDocumentEntry(const QObject* object) {
    return object->property(kDocumentEntry).toBool();
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

void fillDefaults(DocumentServices& s) {
    if (!s.ctrlHeld) {
        s.ctrlHeld = [] {
            return (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0;
        };
    }
    if (!s.useCtrlKey) {
        s.useCtrlKey = [] { return false; };
    }
    if (!s.closeTab) {
        s.closeTab = [] {};
    }
    if (!s.applyNewDocumentFont) {
        s.applyNewDocumentFont = [] {};
    }
    if (!s.activateMenuItem) {
        s.activateMenuItem = [](QAction*) {};
    }
    if (!s.colors) {
        s.colors = [] { return CalendarColors(); };
    }
}

void setLabelTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

}  // namespace

QString DocumentNameFromInput(const QString& typed) {
    QString name = typed.trimmed();
    for (const char16_t c : kFileNameCharacters) {
        if (c != 0) {
            name.replace(QChar(c), QLatin1Char('_'));
        }
    }
    return name;
}

bool IsDotsOnlyName(const QString& name) {
    if (name.isEmpty()) {
        return false;
    }
    for (const QChar c : name) {
        if (c != QLatin1Char('.')) {
            return false;
        }
    }
    return true;
}

DocumentUnit::DocumentUnit(db::Table& otherDocTable, DocumentServices services, QObject* parent)
    : QObject(parent), otherDocs_(otherDocTable), services_(std::move(services)) {
    fillDefaults(services_);
    if (!services_.showDocument) {
        services_.showDocument = [this](const QString& name) { OpenDocumentPage(name); };
    }
}

void DocumentUnit::setPanels(const DocumentPanels& panels) {
    if (viewport_) {
        viewport_->removeEventFilter(this);
    }
    panels_ = panels;
    viewport_ = nullptr;
    if (QScrollArea* box = panels_.documentScrollBox) {
        // The panel is as high as its labels, so the box scrolls when the list is longer.
        box->setWidgetResizable(false);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        viewport_ = box->viewport();
        viewport_->installEventFilter(this);
        DocumentScrollBoxResize();
    }
}

QWidget* DocumentUnit::DocumentPanel() const {
    return panels_.documentScrollBox ? panels_.documentScrollBox->widget() : nullptr;
}

void DocumentUnit::RefreshDocumentList() {
    QWidget* panel = DocumentPanel();
    if (panel) {
        panel->hide();  // no repaints while it is rebuilt
        for (QLabel* label : panel->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (isDocumentEntry(label)) {
                // Later, so that a label may start a refresh from its own handler.
                label->hide();
                label->setParent(nullptr);
                label->deleteLater();
            }
        }
    }
    clearMenu(panels_.document1, kOwnMainMenuItems);
    clearMenu(panels_.documents1, kOwnPopupItems);

    int count = 0;
    otherDocs_.First();
    // The names in one read; the walk still leaves the cursor where it always has, at the end.
    const std::vector<std::string> names = otherDocs_.ColumnTexts("Name");
    for (; !otherDocs_.Eof(); otherDocs_.Next()) {
        const QString name = QString::fromStdString(names.at(static_cast<std::size_t>(count)));
        if (panel) {
            addLabel(panel, name, count);
        }
        addMenuItem(panels_.document1, name);
        addMenuItem(panels_.documents1, name);
        ++count;
    }
    if (panel) {
        panel->resize(panel->width(), count * kLabelHeight);
        panel->show();
    }
}

QLabel* DocumentUnit::addLabel(QWidget* panel, const QString& name, int index) {
    auto* label = new QLabel(panel);
    label->setProperty(kDocumentEntry, true);
    // Names are shown as typed: a "<" or "&" in a name is no markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(kLabelIndent + name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setCursor(Qt::PointingHandCursor);
    label->setGeometry(0, index * kLabelHeight, panel->width(), kLabelHeight);
    setLabelTextColor(label, toQColor(services_.colors().highlight));
    label->installEventFilter(this);
    label->show();
    return label;
}

void DocumentUnit::addMenuItem(QMenu* menu, const QString& name) {
    if (!menu) {
        return;
    }
    // A doubled "&" is shown as one "&": the caption is the name, with no accelerator.
    QString caption = name;
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    auto* item = new QAction(caption, menu);
    item->setProperty(kDocumentEntry, true);
    setHint(item, name);
    item->setToolTip(name);
    connect(item, &QAction::triggered, this,
            guarded([this, item] { DocumentMenuItemClick(item); }));
    menu->addAction(item);
    services_.activateMenuItem(item);
}

void DocumentUnit::clearMenu(QMenu* menu, int ownItems) {
    if (!menu) {
        return;
    }
    const QList<QAction*> items = menu->actions();
    for (qsizetype i = items.size() - 1; i >= ownItems; --i) {
        QAction* item = items.at(i);
        if (isDocumentEntry(item)) {
            menu->removeAction(item);
            item->deleteLater();  // it may be the item whose click is running
        }
    }
}

bool DocumentUnit::OpenDocumentPage(const QString& name) {
    if (!services_.ctrlHeld() && services_.useCtrlKey()) {
        services_.closeTab();
    }
    if (!otherDocs_.Locate("Name", utf8(name))) {
        return false;
    }
    const QString id = NextPageId();
    const std::string text = DecodeEntryText(otherDocs_.FieldByName("Entry").AsString());
    if (services_.openDocumentFrame) {
        services_.openDocumentFrame(name, id, text);
    }
    return true;
}

bool DocumentUnit::askAgain(const QString& text, const QString& title) {
    return dialogs().messageBox(text, title, MessageButtons::OkCancel, MessageIcon::Warning) ==
           MessageResult::Ok;
}

void DocumentUnit::NewActionExecute() {
    for (;;) {
        const std::optional<QString> answer =
            dialogs().inputBox(QStringLiteral("New Document Name"),
                               QStringLiteral("Enter the name for the new document."), QString());
        if (!answer) {
            return;
        }
        const QString name = DocumentNameFromInput(*answer);
        if (name.isEmpty()) {
            return;  // blanks only: as good as Cancel
        }
        if (IsDotsOnlyName(name)) {
            // "." and ".." would put the document's pictures outside its own folder.
            if (!askAgain(QStringLiteral("A document name cannot be made of dots only.     \r\n"
                                         "Please enter a different name."),
                          QStringLiteral("Invalid Name"))) {
                return;
            }
            continue;
        }
        otherDocs_.First();
        if (otherDocs_.Locate("Name", utf8(name))) {
            if (!askAgain(QStringLiteral("A document with this name already exists.     \r\n"
                                         "Please enter a different name."),
                          QStringLiteral("Duplicate Name"))) {
                return;
            }
            continue;
        }
        otherDocs_.Insert();
        otherDocs_.FieldByName("Name").SetAsQString(name);
        otherDocs_.Post();
        RefreshDocumentList();
        services_.showDocument(name);
        services_.applyNewDocumentFont();
        return;
    }
}

void DocumentUnit::DocumentLabelMouseDown(QLabel* label) {
    showDocument(label->text().trimmed());
}

void DocumentUnit::DocumentMenuItemClick(QAction* item) {
    showDocument(hint(item).trimmed());
}

void DocumentUnit::showDocument(const QString& name) {
    runGuarded([&] { services_.showDocument(name); });
}

void DocumentUnit::DocumentScrollBoxResize() {
    QWidget* panel = DocumentPanel();
    if (!panel) {
        return;
    }
    const int width = panels_.documentScrollBox->viewport()->width();
    panel->resize(width, panel->height());
    for (QLabel* label : panel->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (isDocumentEntry(label)) {
            label->resize(width, kLabelHeight);
        }
    }
}

bool DocumentUnit::eventFilter(QObject* watched, QEvent* event) {
    // The viewport by itself: it reports its own end while its scroll box is half gone.
    if (viewport_ && watched == viewport_) {
        if (event->type() == QEvent::Resize) {
            runGuarded([this] { DocumentScrollBoxResize(); });
        }
        return QObject::eventFilter(watched, event);
    }
    const QEvent::Type type = event->type();
    if (type != QEvent::Enter && type != QEvent::Leave && type != QEvent::MouseButtonPress) {
        return QObject::eventFilter(watched, event);  // the labels get many events: look first
    }
    auto* label = qobject_cast<QLabel*>(watched);
    if (!label || !isDocumentEntry(label)) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::Enter:
            DayLabelMouseEnter(label, services_.colors());
            break;
        case QEvent::Leave:
            DayLabelMouseLeave(label, services_.colors());
            break;
        case QEvent::MouseButtonPress:
            DocumentLabelMouseDown(label);
            return true;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qb
