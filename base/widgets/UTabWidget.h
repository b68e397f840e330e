#pragma once

#include <QWidget>

class QFrame;
class QIcon;
class QTabBar;
class UStackedWidget;

/// A tab widget built from parts that the style sheet addresses by object
/// name: "tabBarContainer" with "tabBar", the pane "tabPane" and the strip
/// "bottomFrame" under the pages.
class UTabWidget : public QWidget
{
    Q_OBJECT

public:
    explicit UTabWidget(QWidget* parent = nullptr);

    int addTab(QWidget* page, const QString& label);
    void removeTab(int index);
    int count() const;
    QWidget* widget(int index) const;
    int indexOf(QWidget* page) const;
    int currentIndex() const;
    void setCurrentIndex(int index);
    void setTabText(int index, const QString& text);
    void setTabIcon(int index, const QIcon& icon);

    QTabBar* tabBar() const { return bar; }
    UStackedWidget* tabPane() const { return pane; }

Q_SIGNALS:
    /// The page shown changed.
    void currentChanged(int currentIndex);

protected:
    void showEvent(QShowEvent* event) override;

private:
    /// Lays the tab bar out again with its tabs as they are now.
    void relayoutBar();

    QFrame* tabBarContainer = nullptr;
    QTabBar* bar = nullptr;
    UStackedWidget* pane = nullptr;
    QFrame* bottomFrame = nullptr;
};
