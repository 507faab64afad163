#pragma once
// The panel above the image view: which handle is shown, how many images it
// holds, their size and the storage they take.

#include <QWidget>

class QLabel;
class THandle_object;

class THandlePanel : public QWidget {
    Q_OBJECT
public:
    explicit THandlePanel(QWidget* parent = nullptr);

    // Heading, size and both storage figures.
    void showHandle(const THandle_object& handle);
    // Only the storage figures, after the handle's memory_usage changed.
    void showStorage(const THandle_object& handle);
    void clear();

    QLabel* headingLabel() const { return m_heading; }
    QLabel* sizeLabel() const { return m_size; }
    QLabel* storageLabel() const { return m_storage; }
    QLabel* pixelBytesLabel() const { return m_pixelBytes; }

    static QString headingText(const THandle_object& handle);

private:
    QLabel* m_heading;
    QLabel* m_size;
    QLabel* m_storage;
    QLabel* m_pixelBytes;
};
