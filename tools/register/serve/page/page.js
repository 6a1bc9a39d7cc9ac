// The live page over the register. Every register text goes into the page as textContent:
// a station name or UID is shown as written, never read as markup.
"use strict";

const TEXTS = {
  en: {
    title: "Card register", today: "Written today:", updated: "Updated", stations: "Stations today",
    station: "Station", written: "Written", failed: "Failed", partly: "Partly written",
    perHour: "Cards per hour (last 15 min)", lastCard: "Last card", time: "Time",
    ranges: "Group ranges being recorded today", group: "Group", first: "First", last: "Last",
    progress: "Progress", alarms: "Alarms", shared: "Numbers on two cards (goal: none)",
    partlyCards: "Partly written cards today, not written since", inRow: "Failures in a row today",
    attempts: "Last 20 attempts", number: "Number", lock: "Lock", outcome: "Outcome",
    download: "Download a range as CSV", cards: "Cards", downloadLink: "Download", none: "None",
    more: "… and more", onCards: (n) => `on ${n} cards`, failures: (n) => `${n} failures in a row`,
    unreadable: "The register cannot be read: ", outcomes: { written: "written", failed: "failed", started: "unfinished" },
    yes: "yes", no: "no", switchTo: "中文",
    orders: "Orders", reference: "Order", customer: "Customer", range: "Range",
    writtenOrdered: "Written / ordered", void: "Void", unfinished: "Unfinished",
    benches: "Benches (cards written)", timeLeft: "Time left", state: "State", note: "Delivery note",
    stalledOrders: "Open orders with no card for 10 minutes while a bench has them",
    states: { open: "open", complete: "complete", closed: "closed", cancelled: "cancelled" },
    stalled: (ref, minutes, benches) => `${ref}: no card for ${minutes} min; at it: ${benches}`,
    moreOrders: "More orders than shown: zr-register order list has them all.",
  },
  zh: {
    title: "卡片登錄", today: "今日已錄：", updated: "更新於", stations: "今日各站",
    station: "站名", written: "已寫入", failed: "失敗", partly: "部分寫入",
    perHour: "每小時卡數（近 15 分鐘）", lastCard: "最後一張卡", time: "時間",
    ranges: "今日錄製中的群組範圍", group: "群組", first: "起", last: "迄",
    progress: "進度", alarms: "警示", shared: "一號多卡（目標：無）",
    partlyCards: "今日部分寫入、其後未再寫入的卡片", inRow: "今日連續失敗",
    attempts: "最近 20 次寫入", number: "卡號", lock: "鎖定", outcome: "結果",
    download: "下載範圍 CSV", cards: "卡號範圍", downloadLink: "下載", none: "無",
    more: "……還有更多", onCards: (n) => `在 ${n} 張卡上`, failures: (n) => `連續失敗 ${n} 次`,
    unreadable: "無法讀取卡片登錄：", outcomes: { written: "已寫入", failed: "失敗", started: "未完成" },
    yes: "是", no: "否", switchTo: "English",
    orders: "訂單", reference: "訂單", customer: "客戶", range: "範圍",
    writtenOrdered: "已寫入／訂購", void: "作廢", unfinished: "未完成",
    benches: "工作站（已寫入卡數）", timeLeft: "剩餘時間", state: "狀態", note: "出貨單",
    stalledOrders: "工作站處理中、10 分鐘未錄卡的未結訂單",
    states: { open: "進行中", complete: "已完成", closed: "已結束", cancelled: "已取消" },
    stalled: (ref, minutes, benches) => `${ref}：${minutes} 分鐘未錄卡；處理中：${benches}`,
    moreOrders: "訂單多於所示：zr-register order list 列出全部。",
  },
};

const VIEWS = ["orders", "stations", "ranges", "alarms", "attempts"];
const REFRESH_MS = 3000;
const state = { language: null, views: {}, problem: "" };

function initialLanguage() {
  const saved = window.localStorage && localStorage.getItem("zr-language");
  if (saved === "en" || saved === "zh") return saved;
  return (navigator.language || "en").toLowerCase().startsWith("zh") ? "zh" : "en";
}

function t() {
  return TEXTS[state.language];
}

function localTime(iso) {
  const time = new Date(iso);
  if (Number.isNaN(time.getTime())) return String(iso);
  return time.toLocaleString(state.language === "zh" ? "zh-TW" : "en", {
    year: "numeric", month: "2-digit", day: "2-digit", hour: "2-digit", minute: "2-digit", second: "2-digit",
  });
}

function element(tag, text, className) {
  const made = document.createElement(tag);
  if (text !== undefined) made.textContent = String(text);
  if (className) made.className = className;
  return made;
}

function row(cells, className) {
  const tr = element("tr", undefined, className);
  for (const [text, cls] of cells) tr.append(element("td", text, cls));
  return tr;
}

function outcomeText(outcome) {
  return t().outcomes[outcome] || outcome;
}

function fill(tableId, rows) {
  document.querySelector(`#${tableId} tbody`).replaceChildren(...rows);
}

function list(listId, items) {
  const target = document.getElementById(listId);
  target.replaceChildren(...(items.length ? items : [element("li", t().none, "none")]));
}

function renderStations(view) {
  let total = 0;
  fill("stations", view.stations.map((s) => {
    total += s.written;
    return row([[s.station], [s.written, "count"], [s.failed, "count"], [s.partlyWritten, "count"],
      [s.cardsPerHour, "count"], [`${s.last.uid} ${s.last.number} ${outcomeText(s.last.outcome)}`],
      [localTime(s.last.time)]]);
  }));
  document.getElementById("total-written").textContent = String(total);
}

function renderRanges(view) {
  fill("ranges", view.ranges.map((r) => {
    const tr = row([[r.station], [r.group, "count"], [r.first], [r.last], [`${r.written} / ${r.span}`, "count"]]);
    const cell = element("td");
    const meter = element("meter");
    meter.min = 0;
    meter.max = 1;
    meter.value = r.progress;
    cell.append(meter, element("span", ` ${Math.floor(r.progress * 100)}%`));
    tr.append(cell, element("td", localTime(r.lastTime)));
    return tr;
  }));
}

function renderAlarms(view) {
  const shared = view.sharedNumbers.map((n) => element("li", `${n.number} ${t().onCards(n.cards)}`, "alarm"));
  if (view.sharedNumbersMore) shared.push(element("li", t().more, "alarm"));
  list("shared", shared);
  const partly = view.partlyWritten.map((a) => element("li",
    `${localTime(a.time)} ${a.station} ${a.uid} ${a.number} V1 ${a.v1} V3 ${a.v3}`, "alarm"));
  if (view.partlyWrittenMore) partly.push(element("li", t().more, "alarm"));
  list("partly", partly);
  list("failures", view.failureRuns.map((f) => element("li", `${f.station}: ${t().failures(f.failures)}`, "alarm")));
}

function renderAttempts(view) {
  fill("attempts", view.attempts.map((a) => row([[localTime(a.time)], [a.station], [a.uid], [a.number],
    [a.lock ? t().yes : t().no], [a.v1], [a.v3], [outcomeText(a.outcome)]], a.outcome)));
}

function duration(seconds) {
  if (seconds === null || seconds === undefined) return "–";
  const minutes = Math.round(seconds / 60);
  return `${Math.floor(minutes / 60)}:${String(minutes % 60).padStart(2, "0")}`;
}

function noteLinks(order) {
  const cell = element("td");
  if (!order.notePdf) return cell;
  const pdf = element("a", "PDF");
  pdf.href = state.language === "zh" ? `${order.notePdf}&lang=zh` : order.notePdf;
  const csv = element("a", "CSV");
  csv.href = order.noteCsv;
  for (const link of [pdf, csv]) link.setAttribute("download", "");
  cell.append(pdf, " ", csv);
  return cell;
}

function renderOrders(view) {
  fill("orders", view.orders.map((o) => {
    const benches = o.benches.map((b) => `${b.station}: ${b.written}`).join(", ");
    const tr = row([[o.reference], [o.customer], [`${o.first}–${o.last}`], [`${o.written} / ${o.ordered}`, "count"],
      [o.void, "count"], [o.unfinished, "count"], [benches], [o.cardsPerHour, "count"],
      [duration(o.secondsLeft), "count"], [t().states[o.state] || o.state]], `order-${o.state}`);
    tr.append(noteLinks(o));
    return tr;
  }));
  document.getElementById("orders-more").textContent = view.ordersMore ? t().moreOrders : "";
  list("stalled", view.stalled.map((s) => element("li", t().stalled(s.reference, s.minutes, s.benches.join(", ")), "alarm")));
}

const RENDER = { orders: renderOrders, stations: renderStations, ranges: renderRanges, alarms: renderAlarms, attempts: renderAttempts };

function render() {
  for (const name of VIEWS) {
    if (state.views[name]) RENDER[name](state.views[name]);
  }
  const stamp = state.views.stations && state.views.stations.generatedAt;
  document.getElementById("updated").textContent = stamp ? localTime(stamp) : "–";
  document.getElementById("problem").textContent = state.problem;
}

function applyLanguage() {
  document.documentElement.lang = state.language === "zh" ? "zh-Hant" : "en";
  for (const node of document.querySelectorAll("[data-text]")) {
    node.textContent = t()[node.dataset.text];
  }
  document.title = t().title;
  document.getElementById("language").textContent = t().switchTo;
  render();
}

async function refresh() {
  let problem = "";
  await Promise.all(VIEWS.map(async (name) => {
    try {
      const answer = await fetch(`/api/${name}`, { credentials: "same-origin", cache: "no-store" });
      const body = await answer.json();
      if (!answer.ok) throw new Error(body.error || answer.statusText);
      state.views[name] = body;
    } catch (error) {
      problem = t().unreadable + error.message;
    }
  }));
  state.problem = problem;
  render();
}

function updateExportLink() {
  const group = document.getElementById("export-group").value;
  const cards = document.getElementById("export-cards").value;
  const query = new URLSearchParams({ group, cards });
  document.getElementById("export-link").href = `/export.csv?${query}`;
}

document.addEventListener("DOMContentLoaded", () => {
  state.language = initialLanguage();
  document.getElementById("language").addEventListener("click", () => {
    state.language = state.language === "zh" ? "en" : "zh";
    if (window.localStorage) localStorage.setItem("zr-language", state.language);
    applyLanguage();
  });
  for (const id of ["export-group", "export-cards"]) {
    document.getElementById(id).addEventListener("input", updateExportLink);
  }
  applyLanguage();
  refresh();
  setInterval(refresh, REFRESH_MS);
});
