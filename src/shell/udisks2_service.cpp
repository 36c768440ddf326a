// The disk service over UDisks2 on the system bus.
#include <sys/sysmacros.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QEventLoop>
#include <QVariantMap>

#include "shell/format_drive.h"

namespace ff {
namespace {

constexpr char kService[] = "org.freedesktop.UDisks2";
constexpr char kManagerPath[] = "/org/freedesktop/UDisks2/Manager";
constexpr char kManager[] = "org.freedesktop.UDisks2.Manager";
constexpr char kBlock[] = "org.freedesktop.UDisks2.Block";
constexpr char kFilesystem[] = "org.freedesktop.UDisks2.Filesystem";
constexpr char kProperties[] = "org.freedesktop.DBus.Properties";
constexpr int kLookupTimeoutMs = 25'000;
constexpr int kFormatTimeoutMs = 24 * 60 * 60 * 1000;  // a full format of a large card is slow

// The device path of a Block "Device" property (a zero-terminated byte array).
std::string DevicePath(const QVariant& value) {
  QByteArray bytes = value.toByteArray();
  const qsizetype zero = bytes.indexOf('\0');
  if (zero >= 0) bytes.truncate(zero);
  return bytes.toStdString();
}

class UDisks2Service : public DiskService {
 public:
  bool Available() override {
    QDBusConnection bus = Bus();
    if (!bus.isConnected() || !bus.interface()) return false;
    if (bus.interface()->isServiceRegistered(kService)) return true;
    // The bus starts it on the first call when it is installed.
    const QDBusReply<QStringList> names =
        bus.interface()->call(QStringLiteral("ListActivatableNames"));
    return names.isValid() && names.value().contains(QString::fromLatin1(kService));
  }

  std::optional<FormatVolume> FindVolume(const MountEntry& mount) override {
    QDBusMessage list = QDBusMessage::createMethodCall(kService, kManagerPath, kManager,
                                                       QStringLiteral("GetBlockDevices"));
    list << QVariantMap();
    const QDBusReply<QList<QDBusObjectPath>> blocks = Call(list, kLookupTimeoutMs);
    if (!blocks.isValid()) return std::nullopt;
    const quint64 number = makedev(mount.major, mount.minor);
    for (const QDBusObjectPath& path : blocks.value()) {
      QDBusMessage get = QDBusMessage::createMethodCall(kService, path.path(), kProperties,
                                                        QStringLiteral("GetAll"));
      get << QString::fromLatin1(kBlock);
      const QDBusReply<QVariantMap> reply = Call(get, kLookupTimeoutMs);
      if (!reply.isValid()) continue;
      const QVariantMap& props = reply.value();
      const std::string device = DevicePath(props.value(QStringLiteral("Device")));
      const bool matches = mount.major != 0
                               ? props.value(QStringLiteral("DeviceNumber")).toULongLong() == number
                               : device == mount.source;
      if (!matches) continue;
      FormatVolume volume;
      volume.id = path.path().toStdString();
      volume.device = device;
      volume.fsType = props.value(QStringLiteral("IdType")).toString().toStdString();
      volume.label = props.value(QStringLiteral("IdLabel")).toString().toStdString();
      volume.size = props.value(QStringLiteral("Size")).toULongLong();
      volume.systemDevice = props.value(QStringLiteral("HintSystem")).toBool();
      if (volume.fsType.empty()) volume.fsType = mount.fsType;
      return volume;
    }
    return std::nullopt;
  }

  bool Format(const FormatVolume& volume, bool full, std::string& error) override {
    const QString path = QString::fromStdString(volume.id);
    if (volume.fsType.empty()) {
      error = "the file system type of " + volume.device + " is not known";
      return false;
    }
    QDBusMessage unmount =
        QDBusMessage::createMethodCall(kService, path, kFilesystem, QStringLiteral("Unmount"));
    unmount << QVariantMap();
    const QDBusMessage unmounted = Call(unmount, kLookupTimeoutMs);
    if (unmounted.type() == QDBusMessage::ErrorMessage &&
        !unmounted.errorName().endsWith(QStringLiteral("NotMounted"))) {
      error = unmounted.errorMessage().toStdString();
      return false;
    }
    QVariantMap options;
    options.insert(QStringLiteral("label"), QString::fromStdString(volume.label));
    if (full) options.insert(QStringLiteral("erase"), QStringLiteral("zero"));
    QDBusMessage format =
        QDBusMessage::createMethodCall(kService, path, kBlock, QStringLiteral("Format"));
    format << QString::fromStdString(volume.fsType) << options;
    const QDBusMessage formatted = Call(format, kFormatTimeoutMs);
    if (formatted.type() == QDBusMessage::ErrorMessage) {
      error = formatted.errorMessage().toStdString();
      return false;
    }
    // The card is back where the desktop mounts cards; a failure here leaves
    // it formatted but unmounted, which the desktop shows.
    QDBusMessage mountAgain =
        QDBusMessage::createMethodCall(kService, path, kFilesystem, QStringLiteral("Mount"));
    mountAgain << QVariantMap();
    Call(mountAgain, kLookupTimeoutMs);
    return true;
  }

 private:
  // Waits for the reply; with an application object it keeps windows
  // painted meanwhile but takes no user input.
  QDBusMessage Call(const QDBusMessage& message, int timeoutMs) {
    QDBusPendingCall pending = Bus().asyncCall(message, timeoutMs);
    if (QCoreApplication::instance() && !pending.isFinished()) {
      QDBusPendingCallWatcher watcher(pending);
      QEventLoop loop;
      QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
      if (!watcher.isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    pending.waitForFinished();
    return pending.reply();
  }

  // Connected on first use, so a component that never formats never
  // touches the bus.
  static QDBusConnection Bus() { return QDBusConnection::systemBus(); }
};

}  // namespace

std::unique_ptr<DiskService> MakeUDisks2Service() { return std::make_unique<UDisks2Service>(); }

}  // namespace ff
