#pragma once

#include <QPushButton>

class TableSelector;
class TimeSpan;
class TimerView;

/// One open table's button in the table selector: the table's name, whole
/// while the strip has room and shortened to 8 characters when it has not
/// (the whole name is always the tool tip), a smiley or trophy icon, the
/// table's running countdown at its right end, and, while the table waits
/// for the user and is not the one shown, a frame that marks it.
class SelectorButton : public QPushButton
{
    Q_OBJECT

public:
    explicit SelectorButton(QWidget* parent = nullptr);
    ~SelectorButton() override;

    void setTableName(const QString& name);
    /// Shows the name shortened to 8 characters (true) or whole (false).
    void setShortened(bool shortened);
    bool isShortened() const { return m_shortened; }
    /// 0 smiley (a regular table), 2 trophy (a tournament table); other kinds show no icon.
    void setKind(int kind);
    /// Counts the span down; a span without an end hides the countdown.
    void setTimeout(const TimeSpan& ts);
    TimerView* countdown() const { return timeout; }
    /// Whether the table waits for the user (marked while its page is not shown).
    bool asksForAttention() const { return m_attention; }

public Q_SLOTS:
    void wantsAttention(bool attention);

    /// Wide enough for the icon and the name beside the countdown's place.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showName();

    TimerView* timeout;
    QString m_name;
    bool m_shortened = true;
    bool m_attention = false;
};
