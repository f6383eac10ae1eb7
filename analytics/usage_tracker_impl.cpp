#include "analytics/usage_tracker_impl.h"

#include "analytics/native_user_tracker.h"
#include "analytics/preset_properties.h"
#include "analytics/ql_exception.h"
#include "analytics/sdk/sdk.h"
#include "analytics/text_normalise.h"
#include "app/build_config.h"
#include "utils/text_convert.h"

namespace quillon {
namespace tracking {

namespace {

using usage_analytics::PropertiesNode;
using usage_analytics::Sdk;

constexpr char kInstallSource[] = "android_id=123##imei=1234##mac=123";

void SetText(PropertiesNode& properties, const char* name, const std::string& text) {
    properties.SetString(name, NormaliseText(text));
}

void SetTextIfSet(PropertiesNode& properties, const char* name, const std::string& text) {
    if (!text.empty()) SetText(properties, name, text);
}

void SetFirstTime(PropertiesNode& properties) { properties.SetBool("$is_first_time", true); }

// Results worth reporting on tasks and files: Success, Cancelled and Fail, not Unknown.
bool IsDefiniteResult(const std::optional<QlResult>& result) {
    if (!result) return false;
    const auto value = static_cast<int32_t>(*result);
    return value >= 0 && value <= 2;
}

void SetCurrentAmounts(PropertiesNode& properties, float original, float paid) {
    if (original > 0) properties.SetNumber("ql_cur_original_amount", original);
    if (paid > 0) properties.SetNumber("ql_cur_paid_amount", paid);
}

void SetCashier(PropertiesNode& properties, const std::string& name, const std::string& title) {
    SetTextIfSet(properties, "ql_cashier_name", name);
    SetTextIfSet(properties, "ql_cashier_title", title);
}

void VisitDates(int64_t now) {
    NativeUserTracker::ProfileUserPropertyDateTime("$first_visit_time", now);
    NativeUserTracker::ProfileUserPropertyDateTime("ql_first_visit_date", now);
    NativeUserTracker::ProfileUserPropertyDateTime("ql_last_visit_date", now);
}

}  // namespace

std::string BuiltInCollectorUrl() { return "https://" + Utils::WideToUtf8(LUMIVOX_STATS_HOST_W) + "/sa?project=pc"; }

UsageTrackerImpl::UsageTrackerImpl(const TrackerConfig& config)
    : m_AppName(NormaliseText(config.appName)),
      m_AppVersion(NormaliseText(config.appVersion)),
      m_AppStore(NormaliseText(config.appStore)),
      m_DlAppId(NormaliseText(config.dlAppId)),
      m_DlAppVersion(NormaliseText(config.dlAppVersion)),
      m_EditionValue(config.edition),
      m_ServerUrl(config.serverUrl) {
    m_Context.logFilePath = config.logFilePath;
}

UsageTrackerImpl::~UsageTrackerImpl() {
    // Request threads still running share the SDK; let them finish before it goes away.
    m_Context.delivery.WaitForThreads(DeliveryRequests::TeardownBound());
    SaveIdentity(m_Context.identity, m_Context.paths.identityFile);
    m_Context.delivery.FinalDelivery();
    Sdk::Shutdown();
    if (m_Logger) m_Logger->close();
    m_Logger.reset();
}

void UsageTrackerImpl::init(void*) {
    if (m_AppName.empty()) QL_THROW("appName is empty");
    if (m_AppVersion.empty()) QL_THROW("appVersion is empty");
    if (m_AppStore.empty()) QL_THROW("appStore is empty");
    m_Edition = EditionText(static_cast<QlEdition>(m_EditionValue));

    m_Context.delivery.ResetPending();
    m_Context.paths = ResolveAnalyticsPaths(m_AppName);
    m_Context.stagingFilePath = StagingFilePath(m_Context.paths.dataDirectory, m_AppName);
    m_CollectorUrl = !m_ServerUrl.empty() ? m_ServerUrl : BuiltInCollectorUrl();

    m_Context.identity = LoadIdentity(m_Context.paths.identityFile);
    ReconcileIdentity(m_Context.identity, m_CollectorUrl, m_Context.paths.identityFile);

    if (m_Context.logFilePath.empty()) {
        m_Context.logFilePath = DefaultLogFilePath(m_Context.paths.dataDirectory, m_AppName);
    }
    m_Logger = std::make_unique<NativeTrackLogger>();
    m_Logger->open(m_Context.logFilePath);

    const IdentityRecord& identity = m_Context.identity;
    const bool loggedIn = identity.loggedIn;
    if (!Sdk::Init(m_Context.stagingFilePath, m_CollectorUrl, loggedIn ? identity.userId : identity.distinctId,
                   loggedIn)) {
        QL_THROW("usage_analytics::Sdk::Init is failed");
    }
    Sdk::RegisterSuperProperties(BuildPresetProperties(
        {m_AppName, m_AppVersion, m_AppStore, m_Edition, m_DlAppId, m_DlAppVersion, identity.userId}));
    WriteApplicationSection(m_Context.paths.identityFile, m_AppStore, m_AppName, m_AppVersion);
}

void UsageTrackerImpl::Ordinary(bool countFirst) {
    if (countFirst) m_Context.delivery.AddPending(1);
    m_Context.delivery.Request(DeliveryRequests::Kind::Ordinary);
}

void UsageTrackerImpl::Immediate() { m_Context.delivery.Request(DeliveryRequests::Kind::Immediate); }

bool UsageTrackerImpl::waitForDeliveries(std::chrono::milliseconds bound) const {
    return m_Context.delivery.WaitForThreads(bound);
}

void UsageTrackerImpl::trackActivity(const QlContextProperties& context) {
    PropertiesNode p;
    // The operation's own properties win over the context's here.
    context.applyTo(QlEventType::Activity, p);
    SetTextIfSet(p, "ql_app_store", m_AppStore);
    SetTextIfSet(p, "ql_app_id", m_AppName);
    SetTextIfSet(p, "$app_id", m_AppName);
    SetTextIfSet(p, "$app_version", m_AppVersion);
    p.SetString("$ios_install_source", kInstallSource);
    p.SetString("$user_agent", UserAgentText());
    SetFirstTime(p);
    const std::string osVersion = CurrentOsVersionText();
    p.SetString("$os", "Windows");
    p.SetString("$os_version", osVersion);
    Sdk::Track("QlEventActivity", p);

    VisitDates(usage_analytics::CurrentTimeMilliseconds());
    NativeUserTracker::ProfileUserPropertyString("ql_os", "Windows");
    NativeUserTracker::ProfileUserPropertyString("ql_os_version", osVersion);
    NativeUserTracker::ProfileUserPropertyString("ql_app_store", m_AppStore);
    NativeUserTracker::ProfileUserPropertyString("ql_app_platform", "Windows");
    NativeUserTracker::ProfileUserPropertyString("ql_last_app_id", m_AppName);
    NativeUserTracker::ProfileUserPropertyString("ql_last_app_version", m_AppVersion);
    NativeUserTracker::ProfileUserPropertyString("$ios_install_source", kInstallSource);
    m_Context.delivery.AddPending(9);
    Immediate();
}

void UsageTrackerImpl::trackLaunch(const QlContextProperties& context) {
    PropertiesNode p;
    context.applyTo(QlEventType::PaLaunchPal, p);
    Sdk::Track("QlEventLaunch", p);
    if (!m_Context.identity.userId.empty()) {
        VisitDates(usage_analytics::CurrentTimeMilliseconds());
        m_Context.delivery.AddPending(4);
    }
    Immediate();
}

void UsageTrackerImpl::trackLogin(const QlLoginUser& user, bool success, const std::string& reason,
                                  const QlContextProperties& context) {
    const std::string userId = NormaliseText(user.userId);
    PropertiesNode p;
    if (!userId.empty()) {
        p.SetString("ql_user_id", userId);
        p.SetString("ql_login_id", userId);
    }
    p.SetString("ql_type", UserTypeText(user.userType));
    p.SetString("ql_result", success ? "Success" : "Fail");
    SetTextIfSet(p, "ql_reason", reason);
    if (userId.empty()) {
        context.applyTo(QlEventType::Login, p);
        Sdk::Track("QlEventLogin", p);
        Immediate();
        return;
    }
    SetFirstTime(p);
    context.applyTo(QlEventType::Login, p);
    Sdk::Track("QlEventLogin", p);

    IdentityRecord& identity = m_Context.identity;
    identity.vipLevel = user.vipLevel;
    if (!identity.loggedIn || identity.userId.empty()) {
        Sdk::Login(userId);
        identity.loggedIn = true;
        identity.userId = userId;
        identity.distinctId = userId;
        PropertiesNode userProperty;
        userProperty.SetString("ql_user_id", userId);
        Sdk::RegisterSuperProperties(userProperty);
    }
    SaveIdentity(identity, m_Context.paths.identityFile);
    Immediate();
}

void UsageTrackerImpl::trackClick(const QlEventClick& event, const QlContextProperties& context) {
    if (event.name.empty()) QL_THROW("qlEventClick.name is empty");
    PropertiesNode p;
    SetText(p, "ql_name", event.name);
    p.SetString("ql_click_type", ClickTypeText(event.clickType));
    SetTextIfSet(p, "ql_aname", event.aname);
    SetTextIfSet(p, "ql_title", event.title);
    SetTextIfSet(p, "ql_position", event.position);
    SetTextIfSet(p, "ql_module", event.module);
    SetTextIfSet(p, "ql_tab_name", event.tabName);
    if (event.tabIndex) p.SetInt("ql_tab_index", *event.tabIndex);
    SetTextIfSet(p, "ql_banner_name", event.bannerName);
    if (event.bannerIndex) p.SetInt("ql_banner_index", *event.bannerIndex);
    SetFirstTime(p);
    context.applyTo(QlEventType::Click, p);
    Sdk::Track("QlEventClick", p);
    Ordinary(true);
}

void UsageTrackerImpl::trackView(const QlEventView& event, const QlContextProperties& context) {
    if (event.name.empty()) QL_THROW("qlEventView.name is empty");
    PropertiesNode p;
    SetText(p, "ql_name", event.name);
    SetTextIfSet(p, "ql_aname", event.aname);
    SetTextIfSet(p, "ql_title", event.title);
    SetTextIfSet(p, "ql_position", event.position);
    SetFirstTime(p);
    context.applyTo(QlEventType::View, p);
    Sdk::Track("QlEventView", p);
    Ordinary(true);
}

void UsageTrackerImpl::trackCashier(const QlEventCashier& event, const QlContextProperties& context) {
    if (event.cashierName.empty()) QL_THROW("qlEventCashier.ql_cashier_name is empty");
    PropertiesNode p;
    SetText(p, "ql_cashier_name", event.cashierName);
    SetTextIfSet(p, "ql_cashier_title", event.cashierTitle);
    SetTextIfSet(p, "ql_subitem", event.subitem);
    SetFirstTime(p);
    context.applyTo(QlEventType::Cashier, p);
    Sdk::Track("QlEventCashier", p);
    Ordinary(true);
}

void UsageTrackerImpl::trackShare(const QlEventShare& event, const QlContextProperties& context) {
    PropertiesNode p;
    SetTextIfSet(p, "ql_aname", event.aname);
    SetTextIfSet(p, "ql_channel", event.channel);
    SetTextIfSet(p, "ql_position", event.position);
    SetTextIfSet(p, "ql_shared_name", event.sharedName);
    if (event.result) p.SetString("ql_result", ResultText(*event.result));
    SetFirstTime(p);
    context.applyTo(QlEventType::Share, p);
    Sdk::Track("QlEventShare", p);
    Ordinary(true);
}

PropertiesNode TaskProperties(const QlEventTask& event, const QlContextProperties& context) {
    if (event.name.empty()) QL_THROW("qlEventTask.name is empty");
    PropertiesNode p;
    SetText(p, "ql_task_name", event.name);
    if (event.elapsed) p.SetNumber("ql_task_elapsed", static_cast<double>(*event.elapsed));
    if (IsDefiniteResult(event.result)) p.SetString("ql_task_result", ResultText(*event.result));
    SetTextIfSet(p, "ql_aname", event.aname);
    SetTextIfSet(p, "ql_reason", event.reason);
    SetFirstTime(p);
    context.applyTo(QlEventType::Task, p);
    return p;
}

void UsageTrackerImpl::trackTask(const QlEventTask& event, const QlContextProperties& context) {
    Sdk::Track("QlEventTask", TaskProperties(event, context));
    Ordinary(false);
}

void UsageTrackerImpl::trackFile(const QlEventFile& event, const QlContextProperties& context) {
    if (event.aname.empty()) QL_THROW("qlEventFile.aname is empty");
    PropertiesNode p;
    SetText(p, "ql_aname", event.aname);
    if (event.io) p.SetString("ql_io", IoTypeText(*event.io));
    if (IsDefiniteResult(event.result)) p.SetString("ql_result", ResultText(*event.result));
    SetTextIfSet(p, "ql_name", event.name);
    SetTextIfSet(p, "ql_ext", event.ext);
    if (event.size && *event.size > 0) p.SetNumber("ql_size", *event.size);
    if (event.duration) p.SetInt("ql_duration", *event.duration);
    if (event.fps) p.SetNumber("ql_fps", *event.fps);
    if (event.bps) p.SetNumber("ql_bps", *event.bps);
    if (event.width) p.SetInt("ql_width", *event.width);
    if (event.height) p.SetInt("ql_height", *event.height);
    if (event.depth) p.SetInt("ql_depth", *event.depth);
    SetFirstTime(p);
    context.applyTo(QlEventType::File, p);
    Sdk::Track("QlEventFile", p);
    Ordinary(true);
}

void UsageTrackerImpl::trackOrder(const QlEventOrder& event, const QlContextProperties& context) {
    if (event.suitId.empty()) QL_THROW("qlEventOrder.qlSuitId is empty");
    if (!event.currency) QL_THROW("qlEventOrder.qlCurrency is nullptr");
    if (!(event.originalAmount > 0)) QL_THROW("qlEventOrder.originalAmount is less than zero");
    if (!(event.paidAmount > 0)) QL_THROW("qlEventOrder.paidAmount is less than zero");
    PropertiesNode p;
    SetText(p, "ql_suit_id", event.suitId);
    p.SetString("ql_currency", CurrencyText(*event.currency));
    p.SetNumber("ql_paid_amount", event.paidAmount);
    p.SetNumber("ql_original_amount", event.originalAmount);
    SetFirstTime(p);
    SetTextIfSet(p, "ql_order_id", event.orderId);
    SetTextIfSet(p, "ql_subitem", event.subitem);
    SetTextIfSet(p, "ql_sku", event.sku);
    if (event.campaignCode) p.SetInt("ql_campaign_code", *event.campaignCode);
    SetTextIfSet(p, "ql_voucher_id", event.voucherId);
    SetCurrentAmounts(p, event.curOriginalAmount, event.curPaidAmount);
    SetCashier(p, event.cashierName, event.cashierTitle);
    context.applyTo(QlEventType::Order, p);
    Sdk::Track("QlEventOrder", p);
    Ordinary(true);
}

void UsageTrackerImpl::trackPayment(const QlEventPayment& event, const QlContextProperties& context) {
    if (event.orderId.empty()) QL_THROW("qlEventPayment.qlOrderId is empty");
    if (event.paidAmount < 0) QL_THROW("paidAmount = " + std::to_string(event.paidAmount) + " is invalid");
    if (event.originalAmount < 0) QL_THROW("originalAmount = " + std::to_string(event.originalAmount) + " is invalid");
    if (!event.result || (*event.result != QlResult::Success && *event.result != QlResult::Fail)) {
        QL_THROW("qlEventPayment.result is invalid");
    }
    // A payment without platform or currency cannot be told apart at the collector.
    if (!event.paidPlatform) QL_THROW("qlEventPayment.qlPaidPlatform is nullptr");
    if (!event.currency) QL_THROW("qlEventPayment.qlCurrency is nullptr");
    PropertiesNode p;
    SetText(p, "ql_order_id", event.orderId);
    p.SetString("ql_paid_platform", PaidPlatformText(*event.paidPlatform));
    p.SetString("ql_currency", CurrencyText(*event.currency));
    p.SetNumber("ql_paid_amount", event.paidAmount);
    p.SetNumber("ql_original_amount", event.originalAmount);
    p.SetString("ql_result", ResultText(*event.result));
    SetFirstTime(p);
    SetTextIfSet(p, "ql_suit_id", event.suitId);
    if (event.iapType) p.SetString("ql_iap_type", IapTypeText(*event.iapType));
    SetTextIfSet(p, "ql_subitem", event.subitem);
    SetTextIfSet(p, "ql_sku", event.sku);
    SetTextIfSet(p, "ql_voucher_id", event.voucherId);
    SetTextIfSet(p, "ql_used_voucher_id", event.usedVoucherId);
    if (event.campaignCode) p.SetInt("ql_campaign_code", *event.campaignCode);
    SetCurrentAmounts(p, event.curOriginalAmount, event.curPaidAmount);
    SetCashier(p, event.cashierName, event.cashierTitle);
    context.applyTo(QlEventType::Payment, p);
    Sdk::Track("QlEventPayment", p);

    const int64_t now = usage_analytics::CurrentTimeMilliseconds();
    NativeUserTracker::ProfileUserPropertyNumber("ql_paid_count", int32_t{1});
    NativeUserTracker::ProfileUserPropertyNumber("ql_consumption", static_cast<double>(event.paidAmount));
    NativeUserTracker::ProfileUserPropertyDateTime("ql_first_paid_date", now);
    NativeUserTracker::ProfileUserPropertyDateTime("ql_last_paid_date", now);
    m_Context.delivery.AddPending(4);
    if (*event.result == QlResult::Success) {
        m_Context.identity.vipLevel = 1;
        SaveIdentity(m_Context.identity, m_Context.paths.identityFile);
    }
    Immediate();
}

void UsageTrackerImpl::trackUninstall(const std::string& reason, const QlContextProperties& context) {
    PropertiesNode p;
    SetTextIfSet(p, "ql_uninstall_reason", reason);
    context.applyTo(QlEventType::Uninstall, p);
    Sdk::Track("QlEventUninstall", p);
    Immediate();
}

void UsageTrackerImpl::trackCrash(const std::string& reason) {
    PropertiesNode p;
    SetTextIfSet(p, "app_crashed_reason", reason);
    Sdk::Track("AppCrashed", p);
    Immediate();
}

void UsageTrackerImpl::trackUpdate(const QlEventUpdate& event, const QlContextProperties& context) {
    const std::string operation = UpdateOpText(event.op);
    const std::string result = event.result ? UpdateResultText(*event.result) : std::string();
    PropertiesNode p;
    p.SetString("ql_update_op", operation);
    switch (event.op) {
        case QlUpdateOp::UpdateCheck:
            p.SetString("ql_update_result", result);
            break;
        case QlUpdateOp::DownloadEnd:
        case QlUpdateOp::UpgrateEnd:
            if (!event.result) QL_THROW("Unknown updateResultInfo info");
            if (!event.elapsed) QL_THROW("invalid elapsed info");
            p.SetString("ql_update_result", result);
            if (event.op == QlUpdateOp::UpgrateEnd) SetFirstTime(p);
            p.SetNumber("ql_elapsed", *event.elapsed);
            break;
        default:
            break;
    }
    context.applyTo(QlEventType::Update, p);
    Sdk::Track("QlEventUpdate", p);
    Immediate();
}

void UsageTrackerImpl::trackAppOpenNotification(const QlAppOpenNotification* notification,
                                                const QlContextProperties& context) {
    if (notification == nullptr) QL_THROW("&appOpenNotification is nullptr");
    if (notification->planId.empty()) QL_THROW("planID is emptry");
    if (notification->planType.empty()) QL_THROW("planType is emptry");
    if (notification->msgTitle.empty()) QL_THROW("msgTitle is emptry");
    PropertiesNode p;
    SetText(p, "$sf_msg_title", notification->msgTitle);
    SetText(p, "$sf_plan_id", notification->planId);
    SetText(p, "$sf_plan_type", notification->planType);
    SetFirstTime(p);
    SetTextIfSet(p, "$sf_msg_content", notification->msgContent);
    SetTextIfSet(p, "$sf_link_url", notification->linkUrl);
    SetTextIfSet(p, "$sf_audience_id", notification->audienceId);
    SetTextIfSet(p, "$sf_plan_strategy_id", notification->planStrategyId);
    SetTextIfSet(p, "$sf_strategy_unit_id", notification->strategyUnitId);
    context.applyTo(QlEventType::AppOpenNotification, p);
    Sdk::Track("AppOpenNotification", p);
    Ordinary(false);
}

void UsageTrackerImpl::setLocale(const std::string& locale) {
    m_Context.localeOverride = locale;
    const LocaleTriple triple = ComputeLocale(locale);
    PropertiesNode p;
    p.SetString("ql_l10n_locale", triple.locale);
    p.SetString("ql_l10n_language", triple.language);
    p.SetString("ql_l10n_country", triple.country);
    Sdk::RegisterSuperProperties(p);
}

std::string UsageTrackerImpl::primaryDistinctId() { return m_Context.identity.primaryDistinctId; }

}  // namespace tracking
}  // namespace quillon
