// The TERN web page: reads the service's JSON answers and shows them. Everything that came
// over the air is put into the document as text (textContent, text nodes), never as markup.
"use strict";

(function () {
  const POLL_MS = 30000;
  const FAX_WIDTH = 900;  // pixels of a chart on its card, sharp on a screen of twice the density
  const SVG = "http://www.w3.org/2000/svg";

  // ---- small helpers ------------------------------------------------------------------

  const $ = (id) => document.getElementById(id);

  // An element with attributes and children; strings become text nodes.
  function el(tag, attrs, ...children) {
    const node = document.createElement(tag);
    for (const [name, value] of Object.entries(attrs || {})) {
      if (value === false || value === null || value === undefined) continue;
      node.setAttribute(name, value === true ? "" : String(value));
    }
    for (const child of children) {
      if (child === null || child === undefined || child === false) continue;
      node.append(typeof child === "string" ? document.createTextNode(child) : child);
    }
    return node;
  }

  function svg(tag, attrs, ...children) {
    const node = document.createElementNS(SVG, tag);
    for (const [name, value] of Object.entries(attrs || {})) node.setAttribute(name, String(value));
    for (const child of children) {
      if (child !== null && child !== undefined)
        node.append(typeof child === "string" ? document.createTextNode(child) : child);
    }
    return node;
  }

  const two = (n) => String(n).padStart(2, "0");
  const decimal = (value, digits) => value.toFixed(digits).replace(".", ",");

  // "05.03. 14:20 UTC" from "2026-03-05T14:20:00Z"; a time the receiver could not give: "ohne Zeit".
  function utcText(iso) {
    if (!iso) return "ohne Zeit";
    const m = /^(\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d)/.exec(iso);
    return m ? `${m[3]}.${m[2]}. ${m[4]}:${m[5]} UTC` : "ohne Zeit";
  }

  function badge(text, kind) {
    return el("span", { class: "badge " + kind }, text);
  }

  function setCount(id, text) {
    $(id).textContent = text;
  }

  // ---- view ---------------------------------------------------------------------------

  // Day, dark or the red night view: the reader's choice, kept by the browser; without one,
  // dark when the device asks for it. Set before the body is drawn (the script is not
  // deferred), so a night view never flashes bright.
  const VIEWS = ["day", "dark", "night"];
  const VIEW_KEY = "tern-view";
  const darkQuery = typeof window.matchMedia === "function"
    ? window.matchMedia("(prefers-color-scheme: dark)") : null;

  function storedView() {
    try {
      const view = window.localStorage.getItem(VIEW_KEY);
      return VIEWS.includes(view) ? view : null;
    } catch (error) {
      return null;  // storage refused (a private window, a setting): the device decides
    }
  }

  let pickedView = storedView();

  function applyView() {
    const view = pickedView || (darkQuery && darkQuery.matches ? "dark" : "day");
    document.documentElement.dataset.view = view;
    const group = document.getElementById("view-choice");
    if (group) {
      for (const b of group.querySelectorAll("button"))
        b.setAttribute("aria-pressed", String(b.dataset.value === view));
    }
  }

  function pickView(view) {
    pickedView = view;
    try {
      window.localStorage.setItem(VIEW_KEY, view);
    } catch (error) {
      // Not kept, but shown until the page is closed.
    }
    applyView();
  }

  applyView();
  if (darkQuery && typeof darkQuery.addEventListener === "function")
    darkQuery.addEventListener("change", applyView);
  else if (darkQuery && typeof darkQuery.addListener === "function")
    darkQuery.addListener(applyView);  // older Safari on a boat's tablet
  // A choice made in another tab of the page applies here too.
  window.addEventListener("storage", (event) => {
    if (event.key !== VIEW_KEY) return;
    pickedView = storedView();
    applyView();
  });

  // ---- data ---------------------------------------------------------------------------

  const state = {
    navtex: null,
    bulletins: null,
    alerts: null,
    barograph: null,
    fax: null,
    synop: null,
    sea: null,
    seaMapShown: 0, // the answers seen, so each asks for the map anew
    known: {},      // per list: the ids shown before, so arrivals can be told apart
    arrived: {},    // per list: ids that arrived while the page was open
    loadedOnce: false,
    navtexChoice: "all",
    bulletinChoice: "all",
    baroDays: 2,
    shownChart: {}, // per station: the id of an earlier chart asked for
  };

  class HttpError extends Error {
    constructor(status) {
      super("HTTP " + status);
      this.status = status;
    }
  }

  async function getJson(path) {
    const response = await fetch(path, { cache: "no-store" });
    if (!response.ok) throw new HttpError(response.status);
    return response.json();
  }

  // Notes which ids of `list` are new since the last answer; the first answer marks none.
  function noteArrivals(name, ids) {
    const known = state.known[name];
    const arrived = state.arrived[name] || (state.arrived[name] = new Set());
    if (known) for (const id of ids) if (!known.has(id)) arrived.add(id);
    state.known[name] = new Set(ids);
    return arrived;
  }

  // ---- alarms -------------------------------------------------------------------------

  // The service lists the alarms as the window ranks them; the first, while unseen, is the
  // one that matters most and leads the card in full.
  function renderAlarms() {
    const data = state.alerts;
    const list = $("alarm-list");
    list.replaceChildren();
    for (const [index, alert] of data.alerts.entries()) {
      const kind = alert.seen ? "" : index === 0 ? "unseen lead" : "unseen";
      list.append(
        el("li", { class: kind },
          el("span", { class: "kind" }, alert.kind),
          el("time", {}, utcText(alert.time)),
          alert.seen ? null : badge("neu", "new"),
          el("span", { class: "text" }, alert.text)));
    }
    $("alarm-empty").hidden = data.alerts.length > 0;
    setCount("alarm-count", data.unseen > 0 ? `${data.unseen} neu` : data.alerts.length > 0 ? "" : "keine");
    $("alarme").classList.toggle("quiet", data.alerts.length === 0);
    $("alarme").classList.toggle("raised", data.unseen > 0);
  }

  // ---- NAVTEX and bulletins -----------------------------------------------------------

  // One message as a fold-out: the heading line always visible, the text inside.
  function messageItem(id, heading, lines, isNew, arrived, open, extraClass) {
    const details = el("details", {
      class: ["msg", isNew ? "new" : "", arrived ? "arrived" : "", extraClass || ""].join(" ").trim(),
      "data-id": id,
    });
    details.open = open;
    // The badges follow the heading's first line; the last part of the heading (category or
    // heading and transmitter) takes a line of its own.
    const last = heading.pop();
    details.append(el("summary", {}, ...heading, isNew ? badge("neu", "new") : null, last),
                   el("pre", {}, lines.join("\n")));
    return details;
  }

  // Keeps the fold-outs the reader opened or closed as they were across a refresh.
  function openStates(container) {
    const states = new Map();
    for (const d of container.querySelectorAll("details[data-id]")) states.set(d.dataset.id, d.open);
    return states;
  }

  function renderNavtex() {
    const data = state.navtex;
    const container = $("navtex-list");
    const before = openStates(container);
    const arrived = noteArrivals("navtex", data.messages.map((m) => String(m.id)));
    const shown = data.messages.filter(
      (m) => state.navtexChoice === "all" || String(m.frequency) === state.navtexChoice);
    container.replaceChildren(...shown.map((m, index) => {
      const id = String(m.id);
      const heading = [
        el("span", { class: "key" }, m.key),
        el("span", { class: "freq" }, `${m.frequency} kHz`),
        el("time", {}, utcText(m.time)),
        m.alert ? badge("Warnung", "alert") : null,
        el("span", { class: "cat" }, m.category),
      ];
      const open = before.has(id) ? before.get(id) : index < 3 || arrived.has(id);
      return messageItem(id, heading, m.lines, m.new || arrived.has(id), arrived.has(id), open,
                         m.alert ? "warning" : "");
    }));
    $("navtex-empty").hidden = shown.length > 0;
    const hidden = data.hidden;
    $("navtex-hidden").textContent = hidden === 0 ? "" : hidden === 1
      ? "1 Meldung blendet der NAVTEX-Filter aus."
      : `${hidden} Meldungen blendet der NAVTEX-Filter aus.`;
    const fresh = data.messages.filter((m) => m.new).length;
    setCount("navtex-count", fresh > 0 ? `${fresh} neu` : "");
  }

  // What a bulletin in the SYNOP code holds, said in words: nobody reads the figure groups.
  function codeLabel(b) {
    if (b.synop === "ship") {
      return b.windMap ? "Schiffsmeldungen im SYNOP-Code, entschlüsselt auf der Windkarte"
                       : "Schiffsmeldungen im SYNOP-Code";
    }
    return b.synop === "land" ? "Landstationsmeldungen im SYNOP-Code" : null;
  }

  function renderBulletins() {
    const data = state.bulletins;
    const container = $("bulletin-list");
    const before = openStates(container);
    const arrived = noteArrivals("bulletins", data.bulletins.map((b) => String(b.id)));
    const shown = data.bulletins.filter(
      (b) => state.bulletinChoice === "all" || b.language === state.bulletinChoice);
    // Coded bulletins stay folded; the newest one in words is opened instead.
    const firstInWords = shown.find((b) => !b.synop);
    container.replaceChildren(...shown.map((b) => {
      const id = String(b.id);
      const label = codeLabel(b);
      const heading = [
        el("span", { class: "lang" }, b.language === "de" ? "DE" : "EN"),
        el("span", { class: "title" }, b.title || b.key),
        el("time", {}, utcText(b.time)),
        b.brokenOff ? badge("abgebrochen", "muted") : null,
        el("span", { class: "cat" },
           [label, b.key, b.transmitter].filter(Boolean).join(" · ")),
      ];
      const open = before.has(id) ? before.get(id)
        : !label && (b === firstInWords || arrived.has(id));
      return messageItem(id, heading, b.lines, b.new || arrived.has(id), arrived.has(id), open,
                         label ? "coded" : "");
    }));
    $("bulletin-empty").hidden = shown.length > 0;
    const fresh = data.bulletins.filter((b) => b.new).length;
    setCount("bulletin-count", fresh > 0 ? `${fresh} neu` : "");
  }

  // ---- barograph ----------------------------------------------------------------------

  // Steps of an axis: the smallest of 1, 2, 5 x 10^n that gives at most `count` steps.
  function niceStep(span, count) {
    const raw = span / count;
    const power = Math.pow(10, Math.floor(Math.log10(raw)));
    for (const factor of [1, 2, 5, 10]) if (factor * power >= raw) return factor * power;
    return 10 * power;
  }

  const WEEKDAYS = ["So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"];

  function renderBarograph() {
    const data = state.barograph;
    const box = $("baro-chart");
    $("baro-pressure").textContent = data.pressureHPa === null ? "–"
      : `Luftdruck: ${decimal(data.pressureHPa, 1)} hPa / ${Math.round(data.heightM)} m`;
    const tendency = $("baro-tendency");
    tendency.className = "";
    if (data.tendencyHPa === null) {
      tendency.textContent = "";
    } else {
      const t = data.tendencyHPa;
      tendency.textContent = `Tendenz: ${t > 0.049 ? "+" : ""}${decimal(t, 1)} hPa/3h`;
      tendency.className = t <= -3 ? "falling-fast" : t < 0 ? "falling" : "rising";
    }
    $("head-pressure").textContent = data.pressureHPa === null ? ""
      : `${decimal(data.pressureHPa, 1)} hPa` +
        (data.tendencyHPa === null ? "" : `  ${data.tendencyHPa > 0.049 ? "+" : ""}${decimal(data.tendencyHPa, 1)}/3h`);

    const spans = { 0.5: "12 Stunden", 1: "1 Tag", 2: "2 Tage", 3: "3 Tage" };
    $("baro-foot").textContent = `Lokale Zeit (${spans[state.baroDays]})`;

    const points = data.samples
      .filter((s) => s.time !== null)
      .map((s) => ({ t: new Date(s.time).getTime(), p: s.hPa }));
    const width = Math.max(box.clientWidth, 280);
    const height = Math.round(Math.min(Math.max(width * 0.5, 200), 340));
    const chart = svg("svg", {
      width, height, viewBox: `0 0 ${width} ${height}`, role: "img",
      "aria-label": "Luftdruckverlauf in hPa über der lokalen Zeit", class: "baro-svg",
    });
    if (points.length < 2) {
      chart.append(svg("text", { x: width / 2, y: height / 2, "text-anchor": "middle", class: "axis-label" },
                       "Noch keine Messwerte"));
      box.replaceChildren(chart);
      return;
    }
    const end = points[points.length - 1].t;
    const start = end - state.baroDays * 86400000;
    const visible = points.filter((p) => p.t >= start);
    let low = Math.min(...visible.map((p) => p.p));
    let high = Math.max(...visible.map((p) => p.p));
    const middle = (low + high) / 2;
    const span = Math.max(high - low + 4, 10);
    low = middle - span / 2;
    high = middle + span / 2;

    const left = 8, right = 52, top = 10, bottom = 38;
    const x = (t) => left + ((t - start) / (end - start)) * (width - left - right);
    const y = (p) => top + ((high - p) / (high - low)) * (height - top - bottom);

    // Pressure lines and labels on the right, as on the window's chart.
    const step = niceStep(high - low, 6);
    for (let v = Math.ceil(low / step) * step; v <= high; v += step) {
      chart.append(svg("line", { x1: left, x2: width - right, y1: y(v), y2: y(v), class: "grid" }),
                   svg("text", { x: width - right + 6, y: y(v) + 4, class: "axis-label" }, String(Math.round(v))));
    }
    chart.append(svg("text", { x: width - 4, y: height - 6, "text-anchor": "end", class: "axis-title" }, "hPa"));

    // Time lines every 3, 6 or 12 hours, labelled with the local time; midnight with the day.
    const hours = state.baroDays <= 0.5 ? 2 : state.baroDays <= 1 ? 4 : state.baroDays <= 2 ? 6 : 12;
    const first = new Date(start);
    first.setMinutes(0, 0, 0);
    first.setHours(Math.ceil(first.getHours() / hours) * hours);
    for (let t = first.getTime(); t <= end; t += hours * 3600000) {
      const d = new Date(t);
      if (d.getHours() % hours !== 0) continue;  // a change of the clock shifts the hours
      const midnight = d.getHours() === 0;
      chart.append(svg("line", { x1: x(t), x2: x(t), y1: top, y2: height - bottom,
                                 class: midnight ? "grid day" : "grid" }));
      if (x(t) < left + 16) continue;  // a label cut by the edge
      chart.append(svg("text", { x: x(t), y: height - bottom + 15, "text-anchor": "middle", class: "axis-label" },
                       `${two(d.getHours())}:00`));
      if (midnight) {
        chart.append(svg("text", { x: x(t), y: height - bottom + 30, "text-anchor": "middle", class: "axis-day" },
                         `${WEEKDAYS[d.getDay()]} ${two(d.getDate())}.${two(d.getMonth() + 1)}.`));
      }
    }
    const path = visible.map((p, i) => `${i ? "L" : "M"}${x(p.t).toFixed(1)},${y(p.p).toFixed(1)}`).join("");
    const floor = y(low).toFixed(1);
    chart.append(
      svg("path", { d: `${path}L${x(end).toFixed(1)},${floor}L${x(visible[0].t).toFixed(1)},${floor}Z`, class: "area" }),
      svg("path", { d: path, class: "line" }));
    const last = visible[visible.length - 1];
    chart.append(svg("circle", { cx: x(last.t), cy: y(last.p), r: 4, class: "now" }));
    box.replaceChildren(chart);
  }

  // ---- fax charts ---------------------------------------------------------------------

  function chartCaption(c) {
    return [c.title || c.key, utcText(c.time), c.transmitter].filter(Boolean).join(" · ");
  }

  function renderFax() {
    const data = state.fax;
    const container = $("fax-list");
    const arrived = noteArrivals("fax", data.stations.flatMap((s) => s.charts.map((c) => String(c.id))));
    const cards = data.stations.map((station) => {
      const card = el("article", { class: "station" }, el("h3", {}, station.station));
      if (station.charts.length === 0) {
        card.append(el("p", { class: "empty" }, "Keine Karte empfangen."));
        return card;
      }
      const wanted = state.shownChart[station.station];
      const chart = station.charts.find((c) => String(c.id) === wanted) || station.charts[0];
      const src = `/api/fax/${chart.id}.png`;
      const isNew = chart.new || arrived.has(String(chart.id));
      // The card shows the chart scaled down by the service; a click opens it whole.
      card.append(el("figure", { class: isNew ? "new" : "" },
        el("a", { href: src, target: "_blank", rel: "noopener" },
          el("img", { src: `${src}?width=${FAX_WIDTH}`, alt: `Wetterkarte ${chart.title || chart.key}` })),
        el("figcaption", {}, chartCaption(chart), isNew ? badge("neu", "new") : null,
           chart.dropped ? badge("schlecht empfangen", "muted") : null,
           chart === station.charts[0] ? null : badge("ältere Karte", "muted"))));
      if (station.charts.length > 1) {
        const list = el("ul", { class: "earlier" });
        for (const c of station.charts) {
          const button = el("button", { type: "button", "aria-pressed": c === chart ? "true" : "false" },
                            chartCaption(c));
          button.addEventListener("click", () => {
            state.shownChart[station.station] = String(c.id);
            renderFax();
          });
          list.append(el("li", {}, button));
        }
        const more = el("details", { class: "earlier-charts", "data-station": station.station },
                        el("summary", {}, `Frühere Karten (${station.charts.length - 1})`), list);
        more.open = wanted !== undefined;
        card.append(more);
      }
      return card;
    });
    container.replaceChildren(...cards);
  }

  // ---- wind map -----------------------------------------------------------------------

  // The arrow of one map cell, pointing where the wind blows to (icon 0: towards north, then
  // clockwise in steps of 22.5 degrees); a ring for calm, a cross for a wind not measured, as
  // on the window's map.
  function windIcon(cell, size) {
    const cx = cell.x + size.cell / 2;
    const cy = cell.y + size.top + size.cell / 2;
    const s = size.arrow;
    const g = svg("g", { class: "icon " + (cell.coastal ? "coastal" : "ship"),
                         transform: `translate(${cx} ${cy})` });
    if (cell.icon === null) {
      g.append(svg("circle", { r: s * 0.18, class: "no-wind" }));
    } else if (cell.icon === 16) {
      g.append(svg("circle", { r: s * 0.3, class: "calm" }));
    } else if (cell.icon === 17) {
      const a = s * 0.25;
      g.append(svg("path", { d: `M${-a},${-a}L${a},${a}M${-a},${a}L${a},${-a}`, class: "unmeasured" }));
    } else {
      const h = s / 2;
      g.append(svg("path", {
        d: `M0,${h}V${-h * 0.2}M${-h * 0.55},${-h * 0.2}L0,${-h}L${h * 0.55},${-h * 0.2}Z`,
        transform: `rotate(${cell.icon * 22.5})`, class: "arrow",
      }));
    }
    return g;
  }

  function openReports(title, lines) {
    $("report-title").textContent = title;
    $("report-text").textContent = lines.join("\n");
    const dialog = $("report-window");
    if (typeof dialog.showModal === "function") dialog.showModal();
    else dialog.setAttribute("open", "");
  }

  function cellTitle(reports) {
    const names = reports.map((r) => r.name.trim());
    return names.length > 3 ? `${names.slice(0, 3).join(", ")} …` : names.join(", ");
  }

  function openCell(cell) {
    const members = cell.reports.map((i) => state.synop.reports[i]);
    openReports(cellTitle(members), members.flatMap((r) => r.lines));
  }

  function renderWind() {
    const data = state.synop;
    const map = data.map;
    const box = $("wind-map");
    // The part of the map that holds reports, with a margin, so the arrows are large enough
    // to read; the whole map when there are none.
    let x0 = 0, y0 = 0, x1 = map.width, y1 = map.height;
    if (data.cells.length > 0) {
      const margin = 6 * map.cellPixels;
      x0 = Math.max(0, Math.min(...data.cells.map((c) => c.x)) - margin);
      y0 = Math.max(0, Math.min(...data.cells.map((c) => c.y)) - margin);
      x1 = Math.min(map.width, Math.max(...data.cells.map((c) => c.x)) + map.cellPixels + margin);
      y1 = Math.min(map.height, Math.max(...data.cells.map((c) => c.y)) + map.cellPixels + map.iconTop + margin);
    }
    const viewWidth = x1 - x0;
    const shownWidth = Math.max(box.clientWidth, 280);
    const size = { cell: map.cellPixels, top: map.iconTop,
                   arrow: Math.max(map.cellPixels * 1.3, (22 * viewWidth) / shownWidth),
                   touch: (22 * viewWidth) / shownWidth };  // 22 screen pixels in map units
    const chart = svg("svg", {
      viewBox: `${x0} ${y0} ${viewWidth} ${y1 - y0}`, class: "wind-svg", role: "img",
      "aria-label": "Windkarte mit den SYNOP-Meldungen",
    });
    // Every arrow has a touch circle 44 screen pixels across at least, all of them below all
    // arrows: a tap on an arrow opens that arrow's reports, a tap beside one the nearest circle
    // drawn last. Where arrows crowd, the list below names every report.
    const targets = svg("g", { class: "targets" });
    chart.append(svg("image", { href: map.picture, x: 0, y: 0, width: map.width, height: map.height }),
                 targets);
    for (const cell of data.cells) {
      const icon = windIcon(cell, size);
      const members = cell.reports.map((i) => data.reports[i]);
      const hint = members.map((r) => r.hint.join("\n")).join("\n\n");
      icon.append(svg("title", {}, hint));
      icon.addEventListener("click", () => openCell(cell));
      const target = svg("circle", {
        cx: cell.x + size.cell / 2, cy: cell.y + size.top + size.cell / 2,
        r: Math.max(size.arrow * 0.6, size.touch), class: "target",
      }, svg("title", {}, hint));
      target.addEventListener("click", () => openCell(cell));
      targets.append(target);
      chart.append(icon);
    }
    box.replaceChildren(chart);

    const ships = data.reports.filter((r) => r.kind === "ship").length;
    setCount("wind-count", `${ships} Schiffe, ${data.reports.length - ships} Küstenstationen`);
    const list = $("wind-list");
    list.replaceChildren(...data.reports.map((r) => {
      const wind = r.direction === null || r.speedMs === null ? "Wind --"
        : `${r.direction}° ${decimal(r.speedMs, 1)} m/s`;
      const when = r.day === null ? "" : ` · Tag ${r.day}, ${r.hour} UTC`;
      const button = el("button", { type: "button" }, `${r.name.trim()} · ${wind}${when}`);
      button.addEventListener("click", () => openReports(r.name.trim(), r.lines));
      return el("li", {}, button);
    }));
  }

  // ---- sea weather ---------------------------------------------------------------------

  // An area's line; a tap opens its texts as received, the warning first.
  function seaItem(area) {
    const button = el("button", { type: "button", class: area.warning ? "warned" : null }, area.line);
    button.addEventListener("click", () => openReports(area.name, area.detail.split("\n")));
    return el("li", {}, button);
  }

  function renderSea() {
    const data = state.sea;
    // The map is a picture of its own (no script runs in it); a new answer asks for it anew.
    state.seaMapShown += 1;
    $("sea-map").src = `${data.map}?v=${state.seaMapShown}`;
    $("sea-map").hidden = false;
    const mine = data.areas.filter((a) => a.mine);
    $("sea-mine").replaceChildren(...mine.map(seaItem));
    $("sea-mine-empty").hidden = mine.length > 0;
    $("sea-all").replaceChildren(...data.areas.map(seaItem));
    const warned = data.areas.filter((a) => a.warning).length;
    setCount("sea-count", data.report ? `${data.report.issued}${warned ? ` · ${warned} Warnungen` : ""}`
      : "kein Bericht");
    const problem = data.mineProblem ? ` ${data.mineProblem}` : "";
    $("sea-note").textContent = `${data.note}. Pfeile zeigen, wohin der Wind weht; die Zahl ist die stärkste Windstärke (Bft).${problem}`;
  }

  // ---- fetching and updating ----------------------------------------------------------

  const sources = [
    ["alerts", "/api/alerts", renderAlarms],
    ["navtex", "/api/navtex", renderNavtex],
    ["bulletins", "/api/bulletins", renderBulletins],
    ["barograph", "/api/barograph", renderBarograph],
    ["fax", "/api/fax", renderFax],
    ["synop", "/api/synop", renderWind],
    ["sea", "/api/seewetter", renderSea],
  ];

  let live = false;      // the event stream is open
  let polling = null;    // the fallback timer
  let running = null;    // the refresh under way
  let again = false;     // another refresh was asked for meanwhile

  function showStatus(text, kind) {
    const status = $("status");
    status.textContent = text;
    status.className = "status " + (kind || "");
  }

  async function refreshOnce() {
    const results = await Promise.allSettled(sources.map(([, path]) => getJson(path)));
    let failure = null;
    results.forEach((result, i) => {
      const [name, , render] = sources[i];
      if (result.status === "fulfilled") {
        state[name] = result.value;
        try {
          render();
        } catch (error) {
          console.error(name, error);
        }
      } else {
        failure = failure || result.reason;
      }
    });
    const time = new Date();
    const clock = `${two(time.getHours())}:${two(time.getMinutes())}:${two(time.getSeconds())}`;
    if (failure instanceof HttpError && failure.status === 401) {
      showStatus("Zugangsschlüssel fehlt: die Adresse mit ?token=… öffnen, die der Dienst nennt", "error");
    } else if (failure) {
      showStatus(`Keine Verbindung zum Dienst (versucht ${clock})`, "error");
    } else {
      showStatus((live ? "Live" : "Abfrage alle 30 s") + ` · aktualisiert ${clock}`, live ? "live" : "");
    }
    if (!state.loadedOnce) performance.mark("tern-data-shown");  // what the load-time figure reads
    state.loadedOnce = true;
    document.body.dataset.loaded = "true";
  }

  // One refresh at a time; requests meanwhile fold into one more.
  function refresh() {
    if (running) {
      again = true;
      return running;
    }
    running = refreshOnce().finally(() => {
      running = null;
      if (again) {
        again = false;
        refresh();
      }
    });
    return running;
  }

  function startPolling() {
    if (polling === null) polling = setInterval(refresh, POLL_MS);
  }

  function stopPolling() {
    if (polling !== null) clearInterval(polling);
    polling = null;
  }

  // The stream's first message names the data's state (a generation number) as the page
  // opens; the first fetch waits for it (a moment at most), so a change between the two
  // cannot slip by, and later messages fetch again only when the number moved.
  function listen(firstFetch) {
    if (typeof EventSource !== "function") {
      startPolling();
      firstFetch();
      return;
    }
    let generation = null;
    let fetched = false;
    const fetchOnce = () => {
      if (!fetched) {
        fetched = true;
        firstFetch();
      }
    };
    setTimeout(fetchOnce, 1500);
    const events = new EventSource("/api/events");
    events.onopen = () => {
      live = true;
      stopPolling();
    };
    events.onmessage = (event) => {
      const moved = event.data !== generation;
      generation = event.data;
      if (!fetched) fetchOnce();
      else if (moved) refresh();
    };
    events.onerror = () => {
      // The browser tries again by itself; until it gets through, the page asks every 30 s.
      live = false;
      fetchOnce();
      startPolling();
      if (events.readyState === EventSource.CLOSED) showStatus("Abfrage alle 30 s", "");
    };
  }

  // ---- controls -----------------------------------------------------------------------

  function choice(groupId, apply) {
    const group = $(groupId);
    group.addEventListener("click", (event) => {
      const button = event.target.closest("button[data-value]");
      if (!button) return;
      for (const b of group.querySelectorAll("button")) b.setAttribute("aria-pressed", String(b === button));
      apply(button.dataset.value);
    });
  }

  function setUpControls() {
    choice("navtex-choice", (v) => {
      state.navtexChoice = v;
      if (state.navtex) renderNavtex();
    });
    choice("bulletin-choice", (v) => {
      state.bulletinChoice = v;
      if (state.bulletins) renderBulletins();
    });
    choice("view-choice", pickView);
    choice("baro-choice", (v) => {
      state.baroDays = Number(v);
      if (state.barograph) renderBarograph();
    });
    for (const fold of document.querySelectorAll("button.fold")) {
      fold.addEventListener("click", () => {
        const panel = fold.closest(".panel");
        const open = panel.classList.toggle("folded") === false;
        fold.setAttribute("aria-expanded", String(open));
      });
    }
    $("report-window").addEventListener("click", (event) => {
      if (event.target === event.currentTarget) event.currentTarget.close();  // outside the box
    });
    let resizing = null;
    window.addEventListener("resize", () => {
      clearTimeout(resizing);
      resizing = setTimeout(() => {
        if (state.barograph) renderBarograph();
        if (state.synop) renderWind();
      }, 150);
    });
    document.addEventListener("visibilitychange", () => {
      if (document.visibilityState === "visible") refresh();
    });
  }

  document.addEventListener("DOMContentLoaded", () => {
    // The answer to the first visit set the token as a cookie; the address need not show it
    // any longer (nor keep it in a bookmark or a screenshot).
    if (/[?&]token=/.test(location.search)) history.replaceState(null, "", location.pathname);
    applyView();  // the switch in the head now exists
    setUpControls();
    listen(refresh);
  });
})();
