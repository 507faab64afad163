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
    void Show(const THandle_object& handle);
    // Only the storage figures, after the handle's memory_usage changed.
    void Show_Storage(const THandle_object& handle);
    void Clear();

    QLabel* Heading_Label() const { return m_heading; }
    QLabel* Size_Label() const { return m_size; }
    QLabel* Storage_Label() const { return m_storage; }
    QLabel* Pixel_Bytes_Label() const { return m_pixelBytes; }

    static QString Heading_Text(const THandle_object& handle);

private:
    QLabel* m_heading;
    QLabel* m_size;
    QLabel* m_storage;
    QLabel* m_pixelBytes;
};
