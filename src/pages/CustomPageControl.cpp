#include "pages/CustomPageControl.h"

#include "pages/ShadeUnit.h"
#include "platform/core/Color.h"
#include "platform/ui/Components.h"
#include "platform/ui/Guard.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Timer.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMetaMethod>
#include <QPainter>
#include <QScopeGuard>

#include <algorithm>
#include <optional>

namespace {

constexpr int kTabWidth = 200;  // a tab's width before ResizeTabs, and the most it gets
constexpr int kTabShadeSteps = 55;
const QString kTabShade = QStringLiteral("ShadeBarred");
constexpr qb::TColor kUnselectedCaption = 0x00808080;  // gray

const QString kTabPrefix = QStringLiteral("TabPanel");
const QString kPagePrefix = QStringLiteral("PagePanel");
const QString kLabelPrefix = QStringLiteral("TitleLabel");

// A tab: its paint box fills it, its border covers it, its caption label keeps its margins.
class TabPanel : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        const QObjectList& parts = children();
        for (QObject* part : parts) {
            auto* widget = qobject_cast<QWidget*>(part);
            if (!widget) {
                continue;
            }
            if (qobject_cast<QLabel*>(widget)) {
                // Anchored left, top and right: 10 pixels in on the left and on the right.
                widget->setGeometry(10, 6, std::max(0, width() - 20), 16);
            } else {
                widget->setGeometry(rect());
            }
        }
    }
};

// A page: its frame fills it.
class PagePanel : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        for (QObject* part : children()) {
            if (auto* widget = qobject_cast<QWidget*>(part)) {
                widget->setGeometry(rect());
            }
        }
    }
};

std::vector<QWidget*> childWidgets(const QWidget* parent) {
    std::vector<QWidget*> result;
    for (QObject* child : parent->children()) {
        if (child->isWidgetType()) {
            result.push_back(static_cast<QWidget*>(child));
        }
    }
    return result;
}

QWidget* childAt(const QWidget* parent, std::size_t index) {
    const std::vector<QWidget*> list = childWidgets(parent);
    return index < list.size() ? list[index] : nullptr;
}

// Child 0 of a tab is its paint box, child 1 its border shape.
bool isSelectedTab(const QWidget* tab) {
    const QWidget* border = childAt(tab, 1);
    return border && qb::tag(border) == 1;
}

void setTextColor(QWidget* widget, qb::TColor color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, qb::toQColor(color));
    widget->setPalette(palette);
}

std::optional<bool> invokeSave(QWidget* frame, const char* method) {
    const QMetaObject* meta = frame->metaObject();
    const int index = meta->indexOfMethod(QMetaObject::normalizedSignature(method).constData());
    if (index < 0) {
        return std::nullopt;
    }
    const QMetaMethod save = meta->method(index);
    if (save.returnMetaType() == QMetaType::fromType<bool>()) {
        bool kept = true;
        save.invoke(frame, Qt::DirectConnection, Q_RETURN_ARG(bool, kept));
        return kept;
    }
    save.invoke(frame, Qt::DirectConnection);
    return true;
}

}  // namespace

namespace qb {

bool InvokeClosingSave(QWidget* frame, bool atExit) {
    if (atExit) {
        if (const std::optional<bool> kept = invokeSave(frame, "SaveOnExit()")) {
            return *kept;
        }
    }
    return invokeSave(frame, "SaveOnClose()").value_or(true);
}

TabBorderShape::TabBorderShape(QWidget* parent) : QWidget(parent) {
    // A click anywhere on the tab reaches the paint box behind the outline.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TabBorderShape::setPen(const QColor& color, int width) {
    color_ = color;
    width_ = width;
    update();
}

void TabBorderShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width(), h = height(), p = std::min({width_, w, h});
    if (p <= 0) {
        return;
    }
    painter.fillRect(0, 0, w, p, color_);
    painter.fillRect(0, h - p, w, p, color_);
    painter.fillRect(0, 0, p, h, color_);
    painter.fillRect(w - p, 0, p, h, color_);
}

}  // namespace qb

// --- Construction ---

TCustomPageControl::TCustomPageControl(QWidget* owner, QWidget* mainPanel, QWidget* tabsPanel,
                                       QWidget* pagesPanel, qb::PageServices services)
    : QObject(owner),
      Services(std::move(services)),
      owner_(owner),
      mainPanel_(mainPanel),
      tabsPanel_(tabsPanel),
      pagesPanel_(pagesPanel) {
    setObjectName(QStringLiteral("CustomPageControl"));
    NextDayTimer = new qb::Timer(this, 1);
    NextDayTimer->setObjectName(QStringLiteral("NextDayTimer"));
    NextDayTimer->setOnTimer([this] { NextDayTimerTimer(); });
    NextDocumentTimer = new qb::Timer(this, 1);
    NextDocumentTimer->setObjectName(QStringLiteral("NextDocumentTimer"));
    NextDocumentTimer->setOnTimer([this] { NextDocumentTimerTimer(); });
    tabsPanel_->installEventFilter(this);
    pagesPanel_->installEventFilter(this);
}

TCustomPageControl::~TCustomPageControl() = default;

// --- The tabs ---

std::vector<QWidget*> TCustomPageControl::Tabs() const {
    std::vector<QWidget*> result;
    if (!tabsPanel_) {
        return result;
    }
    for (QWidget* child : childWidgets(tabsPanel_)) {
        if (child->objectName().startsWith(kTabPrefix, Qt::CaseInsensitive)) {
            result.push_back(child);
        }
    }
    return result;
}

std::vector<QWidget*> TCustomPageControl::TabsOnScreen() const {
    std::vector<QWidget*> order = Tabs();
    std::stable_sort(order.begin(), order.end(),
                     [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
    return order;
}

void TCustomPageControl::layoutTabs(std::vector<QWidget*> order) {
    // Aligned to the left: one after the other from the panel's left edge, in full height.
    int left = 0;
    const int height = tabsPanel_->height();
    for (QWidget* tab : order) {
        tab->setGeometry(left, 0, tab->width(), height);
        left += tab->width();
    }
}

QWidget* TCustomPageControl::makeTab(const QString& key, int id, const QString& title) {
    auto* tab = new TabPanel(tabsPanel_);
    tab->setObjectName(kTabPrefix + QString::number(id));
    qb::setTag(tab, id);
    qb::setHint(tab, key);
    tab->setWindowTitle(title);  // the caption, covered by the paint box
    tab->resize(kTabWidth, tabsPanel_->height());
    tab->installEventFilter(this);

    auto* border = new qb::TabBorderShape(tab);
    border->setPen(qb::toQColor(SelTabBorderColor), 2);
    qb::setTag(border, 1);

    auto* box = new qb::PaintBox(tab);
    qb::setTag(box, kTabShadeSteps);
    qb::setHint(box, kTabShade);
    box->setOnPaint([this](qb::PaintBox& b, QPainter& c) { TabSelectPaintBoxPaint(b, c); });
    box->setCursor(Qt::PointingHandCursor);
    box->installEventFilter(this);
    box->lower();  // child 0: behind the border and the caption

    auto* label = new QLabel(title, tab);
    label->setObjectName(kLabelPrefix + QString::number(id));
    qb::setTag(label, id);
    label->setFont(owner_->font());
    label->setAutoFillBackground(false);
    setTextColor(label, BackgroundFontColor);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);

    for (QWidget* part : childWidgets(tab)) {
        if (qobject_cast<QLabel*>(part)) {
            part->setGeometry(10, 6, kTabWidth - 20, 16);
        } else {
            part->setGeometry(tab->rect());
        }
    }
    tab->show();
    return tab;
}

QWidget* TCustomPageControl::AddPage(const QString& key, const QString& id, bool isDocument) {
    const QString title = isDocument ? key : DateKeyToTitle(key);
    UnselectAllTabs();

    // The new tab goes just before the leftmost tab whose key sorts after its own, or at the
    // right end of the row.
    std::vector<QWidget*> order = TabsOnScreen();
    auto place = order.end();
    if (Services.orderPages && Services.orderPages()) {
        place = std::find_if(order.begin(), order.end(), [&key](const QWidget* tab) {
            return QString::compare(qb::hint(tab), key, Qt::CaseSensitive) > 0;
        });
    }
    QWidget* tab = makeTab(key, id.toInt(), title);
    order.insert(place, tab);
    layoutTabs(order);

    auto* page = new PagePanel(pagesPanel_);
    page->setObjectName(kPagePrefix + id);
    qb::setTag(page, id.toInt());
    page->setWindowTitle(id);  // the caption, covered by the frame
    // A page covers the pages below it, which stay shown until a tab is selected.
    page->setAutoFillBackground(true);
    page->setGeometry(pagesPanel_->rect());
    page->show();

    ResizeTabs();
    return page;
}

void TCustomPageControl::ResizeTabs() {
    const std::vector<QWidget*> list = Tabs();
    if (list.empty()) {
        return;
    }
    const double share =
        static_cast<double>(tabsPanel_->width()) / static_cast<double>(list.size());
    const int width = share > kTabWidth ? kTabWidth : static_cast<int>(share);
    std::vector<QWidget*> order = TabsOnScreen();
    for (QWidget* tab : order) {
        tab->resize(width, tab->height());
    }
    layoutTabs(std::move(order));
}

void TCustomPageControl::UnselectAllTabs() {
    for (QWidget* tab : Tabs()) {
        if (auto* border = qobject_cast<qb::TabBorderShape*>(childAt(tab, 1))) {
            border->setPen(qb::toQColor(qb::clBtnFace), 1);
            qb::setTag(border, 0);
        }
        if (auto* box = qobject_cast<qb::PaintBox*>(childAt(tab, 0))) {
            box->setOnPaint([this](qb::PaintBox& b, QPainter& c) { TabPaintBoxPaint(b, c); });
            box->update();
        }
        if (auto* label =
                qb::findComponent<QLabel>(owner_, kLabelPrefix + QString::number(qb::tag(tab)))) {
            setTextColor(label, kUnselectedCaption);
        }
    }
}

void TCustomPageControl::selectLook(QWidget* tab) {
    if (auto* border = qobject_cast<qb::TabBorderShape*>(childAt(tab, 1))) {
        border->setPen(qb::toQColor(SelTabBorderColor), 2);
        qb::setTag(border, 1);
    }
    if (auto* box = qobject_cast<qb::PaintBox*>(childAt(tab, 0))) {
        box->setOnPaint([this](qb::PaintBox& b, QPainter& c) { TabSelectPaintBoxPaint(b, c); });
        box->update();
    }
}

void TCustomPageControl::SelectTab(QObject* sender) {
    if (!sender) {
        return;
    }
    for (QWidget* page : childWidgets(pagesPanel_)) {
        page->hide();
    }
    UnselectAllTabs();
    QObject* tabObject = sender->objectName().startsWith(kTabPrefix, Qt::CaseInsensitive)
                             ? sender
                             : sender->parent();
    auto* tab = qobject_cast<QWidget*>(tabObject);
    if (!tab) {
        return;
    }
    const QString id = QString::number(qb::tag(tab));
    QWidget* frame = nullptr;
    if (auto* page = qb::findComponent<QWidget>(owner_, kPagePrefix + id)) {
        page->show();
        frame = childAt(page, 0);
    }
    if (auto* label = qb::findComponent<QLabel>(owner_, kLabelPrefix + id)) {
        setTextColor(label, BackgroundFontColor);
    }
    if (frame && Services.frameEditor) {
        if (QWidget* editor = Services.frameEditor(frame)) {
            editor->setFocus();
        }
    }
    selectLook(tab);
    if (Services.setWindowTitle) {
        QLabel* title =
            frame && Services.frameTitleLabel ? Services.frameTitleLabel(frame) : nullptr;
        Services.setWindowTitle(title ? title->text() : QString());
    }
}

void TCustomPageControl::TabPanelMouseDown(QObject* sender) {
    SelectTab(sender);
}

void TCustomPageControl::TabsPanelResize() {
    if (Tabs().size() >= 2) {
        ResizeTabs();
    } else {
        layoutTabs(TabsOnScreen());  // the height follows the panel; the width stays
    }
}

void TCustomPageControl::TabPaintBoxPaint(qb::PaintBox& sender, QPainter& canvas) {
    ShadePaintBox(canvas, {sender.width(), sender.height(), qb::hint(&sender), qb::tag(&sender)},
                  ShadeTint::ButtonFace());
}

void TCustomPageControl::TabSelectPaintBoxPaint(qb::PaintBox& sender, QPainter& canvas) {
    ShadePaintBox(canvas, {sender.width(), sender.height(), qb::hint(&sender), qb::tag(&sender)},
                  SelectedTabColor);
}

// --- Finding and showing pages ---

QWidget* TCustomPageControl::CurrentEditor() const {
    for (QWidget* tab : Tabs()) {
        if (isSelectedTab(tab)) {
            const QString name = kPagePrefix + QString::number(qb::tag(tab));
            auto* page = qb::findComponent<QWidget>(owner_, name);
            return page ? childAt(page, 0) : nullptr;
        }
    }
    return nullptr;
}

QWidget* TCustomPageControl::tabOf(const QString& key) const {
    for (QWidget* tab : Tabs()) {
        if (qb::hint(tab) == key) {
            return tab;
        }
    }
    return nullptr;
}

void TCustomPageControl::showPage(const QString& key,
                                  const std::function<void(const QString&)>& open) {
    if (Services.bringWindowUp) {
        Services.bringWindowUp();
    } else if (QWidget* window = owner_->window()) {
        window->show();
        if (window->windowState() & Qt::WindowMinimized) {
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        }
        // Shown from another window (the search, the desktop calendar): it comes to the front.
        window->raise();
        window->activateWindow();
    }
    mainPanel_->show();
    // The pages area shows only while a page is open, also when the opening failed.
    const auto hideWhenEmpty = qScopeGuard([this] {
        if (Tabs().empty() && mainPanel_) {
            mainPanel_->hide();
        }
    });
    if (QWidget* tab = tabOf(key)) {
        SelectTab(tab);
    } else if (open) {
        open(key);
    }
}

void TCustomPageControl::ShowDay(const QString& key) {
    showPage(key, Services.openDayPage);
}

void TCustomPageControl::ShowDocument(const QString& name) {
    showPage(name, Services.openDocumentPage);
}

QWidget* TCustomPageControl::PlaceNewPage(QWidget* frame, const QString& key, const QString& id,
                                          bool isDocument, const QString& title) {
    QWidget* page = nullptr;
    try {
        page = AddPage(key, id, isDocument);
    } catch (...) {
        delete frame;
        throw;
    }
    frame->setParent(page);
    frame->setGeometry(page->rect());
    frame->show();
    if (QLabel* label = Services.frameTitleLabel ? Services.frameTitleLabel(frame) : nullptr) {
        label->setText(title);
    }
    if (Services.setWindowTitle) {
        Services.setWindowTitle(title);
    }
    if (mainPanel_->isHidden()) {
        mainPanel_->show();
    }
    if (QWidget* editor = Services.frameEditor ? Services.frameEditor(frame) : nullptr) {
        editor->setFocus();
    }
    frame->setProperty("fbIsModified", false);
    return page;
}

void TCustomPageControl::ApplyCtrlKeyRule() {
    const bool held = Services.ctrlHeld
                          ? Services.ctrlHeld()
                          : QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
    if (!held && Services.useCtrlKey && Services.useCtrlKey()) {
        if (Services.closeTab) {
            Services.closeTab();
        } else {
            CloseTabActionExecute();
        }
    }
}

// --- Closing ---

bool TCustomPageControl::ClosePage(int id, bool atExit) {
    const QString number = QString::number(id);
    auto* page = qb::findComponent<QWidget>(owner_, kPagePrefix + number);
    QWidget* frame = page ? childAt(page, 0) : nullptr;
    if (frame) {
        bool kept = true;
        const bool returned = qb::runGuarded([&] {
            kept = Services.closingSave ? Services.closingSave(frame, atExit)
                                        : qb::InvokeClosingSave(frame, atExit);
        });
        // The text that could be kept nowhere stays on its page, at the program's end too.
        if (!returned || !kept) {
            return false;
        }
    }
    delete qb::findComponent<QWidget>(owner_, kTabPrefix + number);
    delete frame;
    delete page;
    if (Tabs().empty()) {
        mainPanel_->hide();
        if (Services.setWindowTitle) {
            Services.setWindowTitle(QString());
        }
    } else {
        // The row closes up; the widths are shared out again only among two or more.
        TabsPanelResize();
    }
    return true;
}

void TCustomPageControl::CloseAllPages(bool atExit) {
    for (QWidget* tab : Tabs()) {
        ClosePage(qb::tag(tab), atExit);
    }
}

void TCustomPageControl::CloseTabActionExecute() {
    std::vector<QWidget*> list = Tabs();
    const auto selected = std::find_if(list.begin(), list.end(), isSelectedTab);
    if (selected == list.end()) {
        return;
    }
    const std::size_t index = static_cast<std::size_t>(selected - list.begin());
    if (!ClosePage(qb::tag(*selected))) {
        return;  // the page stays, selected, with its text
    }
    list = Tabs();
    if (list.empty()) {
        return;
    }
    SelectTab(index < list.size() ? list[index] : list.back());
}

// --- Deferred replacement ---

void TCustomPageControl::StepToDay(int pageId, const QString& dayKey) {
    PendingPageId = pageId;
    PendingDayKey = dayKey;
    NextDayTimer->setEnabled(true);
}

void TCustomPageControl::StepToDocument(int pageId, const QString& documentName) {
    PendingPageId = pageId;
    PendingDocumentName = documentName;
    NextDocumentTimer->setEnabled(true);
}

void TCustomPageControl::NextDayTimerTimer() {
    NextDayTimer->setEnabled(false);
    // A page whose text could not be saved is not replaced.
    if (ClosePage(PendingPageId)) {
        ShowDay(PendingDayKey);
    }
}

void TCustomPageControl::NextDocumentTimerTimer() {
    NextDocumentTimer->setEnabled(false);
    if (ClosePage(PendingPageId)) {
        ShowDocument(PendingDocumentName);
    }
}

// --- Events ---

void TCustomPageControl::fillPages() {
    for (QWidget* page : childWidgets(pagesPanel_)) {
        page->setGeometry(pagesPanel_->rect());
    }
}

bool TCustomPageControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tabsPanel_ && event->type() == QEvent::Resize) {
        qb::runGuarded([this] { TabsPanelResize(); });
    } else if (watched == pagesPanel_ && event->type() == QEvent::Resize) {
        fillPages();
    } else if (event->type() == QEvent::MouseButtonPress && watched != tabsPanel_ &&
               watched != pagesPanel_) {
        // Any button on a tab, its paint box or its caption.
        qb::runGuarded([this, watched] { TabPanelMouseDown(watched); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}
