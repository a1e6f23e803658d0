#include "platform/ui/LazyIcon.h"

#include <QIconEngine>
#include <QPainter>

#include <memory>
#include <utility>

namespace qb {

namespace {

// The icon made at the first request, shared by the copies Qt makes: it is made once for all.
struct MadeIcon {
    std::function<QIcon()> make;
    QIcon icon;

    const QIcon& get() {
        if (make) {
            icon = make();
            make = nullptr;
        }
        return icon;
    }
};

class LazyIconEngine : public QIconEngine {
  public:
    explicit LazyIconEngine(std::shared_ptr<MadeIcon> made) : made_(std::move(made)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        made_->get().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return made_->get().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return made_->get().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return made_->get().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return made_->get().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("qb.lazy"); }
    QIconEngine* clone() const override { return new LazyIconEngine(made_); }

  private:
    std::shared_ptr<MadeIcon> made_;
};

}  // namespace

QIcon lazyIcon(std::function<QIcon()> make) {
    auto made = std::make_shared<MadeIcon>();
    made->make = std::move(make);
    return QIcon(new LazyIconEngine(std::move(made)));
}

QIcon lazyStandardIcon(const QStyle* style, QStyle::StandardPixmap which) {
    return lazyIcon([style, which] { return style->standardIcon(which); });
}

}  // namespace qb
