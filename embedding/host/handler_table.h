#ifndef EMBEDDING_HOST_HANDLER_TABLE_H_
#define EMBEDDING_HOST_HANDLER_TABLE_H_

#include <glib.h>

#include <map>
#include <string>

// A handler with the data it is called with, and what releases that data.
template <typename Handler>
struct HandlerRecord {
  Handler handler;
  gpointer user_data;
  GDestroyNotify destroy_notify;

  void release() const {
    if (destroy_notify != nullptr) {
      destroy_notify(user_data);
    }
  }
};

// Handlers by channel name: the plugins' on the messenger, the
// application's on the host. Each record's data is released exactly once:
// when the record is replaced or removed, or when the table closes, which
// its owner does before deleting it. It is
// used from the messenger's main context alone, as the platform's own
// tables are, so it takes no lock.
template <typename Handler>
class HandlerTable {
 public:
  using Record = HandlerRecord<Handler>;

  // The record of @channel, or NULL. It stays valid until the table next
  // changes.
  const Record* find(const gchar* channel) const {
    auto entry = records_.find(channel);
    return entry != records_.end() ? &entry->second : nullptr;
  }

  // Puts @added under @channel, or removes the channel's record when its
  // handler is NULL, then releases what was there. A release may come back
  // to the table. Once closed, @added is released at once.
  void replace(const gchar* channel, const Record& added) {
    if (closed_) {
      added.release();
      return;
    }
    Record dropped{};
    auto entry = records_.find(channel);
    if (entry != records_.end()) {
      dropped = entry->second;
      records_.erase(entry);
    }
    if (added.handler != nullptr) {
      records_.emplace(channel, added);
    } else {
      added.release();
    }
    dropped.release();
  }

  // Releases every record, and from now on every record given.
  void close() {
    closed_ = true;
    std::map<std::string, Record> dropped;
    dropped.swap(records_);
    for (const auto& entry : dropped) {
      entry.second.release();
    }
  }

 private:
  std::map<std::string, Record> records_;
  bool closed_ = false;
};

#endif  // EMBEDDING_HOST_HANDLER_TABLE_H_
