#pragma once

#include <QObject>
#include <memory>

#include "app/MessagePresenter.h"
#include "store/PlanDatabase.h"
#include "store/SqlRunner.h"

namespace lumo {

class MainWindow;
class PlanList;

// Plan management on the window: the plan list with its menu commands, the plan editor and the
// rule test, wired to each other and to the window's controls. Window thread only.
class PlanManagement : public QObject {
    Q_OBJECT
public:
    PlanManagement(MainWindow& window, PlanDatabase& database, SqlRunner& sql,
                   MessagePresenter& messages, QObject* parent = nullptr);
    ~PlanManagement() override;

    PlanList& planList() { return *planList_; }

private:
    MainWindow& window_;
    std::unique_ptr<PlanList> planList_;
};

}  // namespace lumo
