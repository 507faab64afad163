#pragma once
#include <QObject>

class TestScheduleModel : public QObject {
    Q_OBJECT
private slots:
    void slotsAndOrder_data();
    void slotsAndOrder();
    void newEventValuesLeaveSlotFree();
    void copyTakesAllSlotsAndCountsEvents();
    void startingRunStates_data();
    void startingRunStates();
    void runPeriods_data();
    void runPeriods();
};
