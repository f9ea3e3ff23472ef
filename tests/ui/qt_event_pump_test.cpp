// The window's event pump: waits that wake for the worker, time out, and keep handling events.
#include "ui/qt_event_pump.h"

#include <QTimer>
#include <QtTest>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

class QtEventPumpTest : public QObject {
  Q_OBJECT

 private slots:
  void wakes_when_the_worker_sets_the_signal() {
    vd::QtEventPump pump;
    auto signal = std::make_shared<vd::WorkerSignal>();
    std::thread worker([signal] {
      std::this_thread::sleep_for(50ms);
      signal->set();
    });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(pump.wait_for_signal(*signal, 10s));
    QVERIFY(clock.elapsed() < 5000);
    worker.join();
  }

  void already_set_returns_at_once() {
    vd::QtEventPump pump;
    vd::WorkerSignal signal;
    signal.set();
    QVERIFY(pump.wait_for_signal(signal, 10s));
  }

  void times_out_and_handles_events_meanwhile() {
    vd::QtEventPump pump;
    vd::WorkerSignal signal;
    int fired = 0;
    QTimer::singleShot(10, [&fired] { ++fired; });
    QVERIFY(!pump.wait_for_signal(signal, 100ms));
    QCOMPARE(fired, 1);
  }

  void a_late_wake_after_the_wait_touches_nothing() {
    auto pump = std::make_unique<vd::QtEventPump>();
    auto signal = std::make_shared<vd::WorkerSignal>();
    QVERIFY(!pump->wait_for_signal(*signal, 20ms));
    std::thread worker([signal] { signal->set(); });
    worker.join();
    QCoreApplication::processEvents();  // a wake posted for the finished wait is dropped
    pump.reset();
    QCoreApplication::processEvents();
  }

  void pump_events_handles_what_is_waiting() {
    vd::QtEventPump pump;
    int fired = 0;
    QMetaObject::invokeMethod(
        this, [&fired] { ++fired; }, Qt::QueuedConnection);
    pump.pump_events();
    QCOMPARE(fired, 1);
  }
};

QTEST_MAIN(QtEventPumpTest)
#include "qt_event_pump_test.moc"
