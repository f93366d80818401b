#pragma once
// What assistive tools read of a level or progress shown from 0 to 100
// percent (the status bar's gauge, the recording meter): a name and a value.

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <algorithm>
#include <functional>

class TPercentAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    // `percent` below 0: nothing shown.
    TPercentAccessible(QWidget* widget, QString name, std::function<int()> percent)
        : QAccessibleWidget(widget, QAccessible::ProgressBar), Name(std::move(name)),
          Percent(std::move(percent)) {}
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return Name;
        if (t == QAccessible::Value)
            return Percent() < 0 ? QString()
                                 : QCoreApplication::translate("Access", "%1 %").arg(Percent());
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return std::max(0, Percent()); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    QString Name;
    std::function<int()> Percent;
};
