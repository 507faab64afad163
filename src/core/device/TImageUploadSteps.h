#pragma once
// Image upload (message 1030; lParam the step, wParam the address, a retry
// count or an error code): the image data block written from 0x80000, then
// the restart.

#include <QObject>

class TDeviceStepContext;
class TImageBlockBuilder;

class TImageUploadSteps : public QObject {
    Q_OBJECT
public:
    enum Step : quint32 { kStart = 0, kWrite = 1, kReset = 2, kDone = 10, kFailed = 11 };
    static constexpr quint32 kImageStoreAddress = 0x80000;

    explicit TImageUploadSteps(TDeviceStepContext& ops);

    void handle(quint32 wParam, quint32 step);

private:
    void built(const QByteArray& block, const QString& error);

    TDeviceStepContext& m_ops;
    TImageBlockBuilder* m_builder;
};
