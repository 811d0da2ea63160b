#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <type_traits>

// Runs a step on the thread of a GUI-thread object (a window's part) and waits for its result; on
// that thread itself it runs at once. A transfer's worker reaches the model, the views and the
// clipboard only this way.
template<typename Step> auto onGuiThread(const QObject& context, Step step)
{
    if (QThread::currentThread() == context.thread())
        return step();
    auto* target = const_cast<QObject*>(&context);
    using Result = decltype(step());
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(target, step, Qt::BlockingQueuedConnection);
    } else {
        Result result {};
        QMetaObject::invokeMethod(
            target, [&result, &step] { result = step(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}
