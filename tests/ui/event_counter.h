#pragma once
// Counts the events of one kind that reach an object (install it as an event filter).

#include <QEvent>
#include <QObject>

namespace vistrela::test {

class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type) : type_(type) {}
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == type_) ++count;
        return false;
    }

private:
    QEvent::Type type_;
};

}  // namespace vistrela::test
