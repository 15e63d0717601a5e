// A one-line label that shares the room of its row with others: it asks for its whole text, takes less when the
// row is narrow, and then ends the text in an ellipsis instead of overlapping or cutting mid-letter. A label given
// a kept width holds on to that much of its text while the others in the row give way first.
#pragma once

#include <QLabel>

class CElidedLabel : public QLabel
{
public:
    explicit CElidedLabel(QWidget* parent = nullptr);

    // Pixels of the text the label keeps however narrow the row (0, the default: only a few letters).
    void SetKeptWidth(int pixels);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_keptWidth = 0;
};
