<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru_RU">
<context>
    <name>AboutPage</name>
    <message>
        <source>VIMO  1.0</source>
        <translation>VIMO  1.0</translation>
    </message>
    <message>
        <source>Freeware</source>
        <translation>Freeware</translation>
    </message>
    <message>
        <source>Автор: команда разработчиков Vimo</source>
        <translation>Author: the Vimo development team</translation>
    </message>
    <message>
        <source>Спасибо всем, кто проверял программу</source>
        <translation>Thanks to all who tested the program</translation>
    </message>
    <message>
        <source>Программа бесплатна,</source>
        <translation>The program is free,</translation>
    </message>
    <message>
        <source>© Vimo Team, 2026</source>
        <translation>© Vimo Team, 2026</translation>
    </message>
    <message>
        <source>Киев</source>
        <translation>Kyiv</translation>
    </message>
    <message>
        <source>* Vimo Team *</source>
        <translation>* Vimo Team *</translation>
    </message>
    <message>
        <source>E-mail:</source>
        <translation>E-mail:</translation>
    </message>
    <message>
        <source>ICQ:</source>
        <translation>ICQ:</translation>
    </message>
</context>
<context>
    <name>Budget</name>
    <message>
        <source>%1 мин.</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 МБ</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>Израсходовано %1% бюджета: %2 из %3</source>
        <translation>%1% of the budget used: %2 of %3</translation>
    </message>
</context>
<context>
    <name>BudgetStop</name>
    <message>
        <source>Соединение будет отключено через %1 с., в %2.</source>
        <translation>The connection will be stopped in %1 s, at %2.</translation>
    </message>
    <message>
        <source>Соединение отключено. %1</source>
        <translation>The connection was stopped. %1</translation>
    </message>
    <message>
        <source>Отключение в %1</source>
        <translation>Stopping at %1</translation>
    </message>
    <message>
        <source>Отключение отложено до %1</source>
        <translation>Stop put off until %1</translation>
    </message>
    <message>
        <source>Не отключать до конца цикла</source>
        <translation>Keep it until the cycle ends</translation>
    </message>
    <message>
        <source>Отключено в %1</source>
        <translation>Stopped at %1</translation>
    </message>
    <message>
        <source>Не удалось отключить в %1</source>
        <translation>Could not stop at %1</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>BudgetStopControl</name>
    <message>
        <source>Отключить сейчас</source>
        <translation>Stop now</translation>
    </message>
    <message>
        <source>Ещё 15 минут</source>
        <translation>15 more minutes</translation>
    </message>
    <message>
        <source>Не отключать до конца цикла</source>
        <translation>Keep it until the cycle ends</translation>
    </message>
    <message>
        <source>Vimo продолжает считать.</source>
        <translation>Vimo goes on counting.</translation>
    </message>
    <message>
        <source>Соединение отключено.</source>
        <translation>The connection was stopped.</translation>
    </message>
    <message>
        <source>Соединение не отключено: NetworkManager недоступен.</source>
        <translation>The connection was not stopped: NetworkManager is not available.</translation>
    </message>
    <message>
        <source>Соединение не отключено: NetworkManager не дал на это прав (polkit).</source>
        <translation>The connection was not stopped: NetworkManager did not allow it (polkit).</translation>
    </message>
    <message>
        <source>Соединение не отключено: NetworkManager не знает соединения на «%1».</source>
        <translation>The connection was not stopped: NetworkManager knows no connection on “%1”.</translation>
    </message>
    <message>
        <source>Соединение не отключено: %1.</source>
        <translation>The connection was not stopped: %1.</translation>
    </message>
</context>
<context>
    <name>Errors</name>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>&apos;%1&apos; is not a valid integer value</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid date</source>
        <translation>&apos;%1&apos; is not a valid date</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>&apos;%1&apos; is not a valid floating point value</translation>
    </message>
    <message>
        <source>Date exceeds maximum of %1</source>
        <translation>Date exceeds maximum of %1</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>File access denied</source>
        <translation>File access denied</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Disk full</translation>
    </message>
    <message>
        <source>I/O error %1</source>
        <translation>I/O error %1</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <source>Read beyond end of file</source>
        <translation>Read beyond end of file</translation>
    </message>
    <message>
        <source>Exception %1 in module %2 at %3.</source>
        <translation>Exception %1 in module %2 at %3.</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Application Error</translation>
    </message>
    <message>
        <source>Unknown error.</source>
        <translation>Unknown error.</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Cannot open file %1</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Cannot create file %1</translation>
    </message>
    <message>
        <source>Cannot remove file %1</source>
        <translation>Cannot remove file %1</translation>
    </message>
</context>
<context>
    <name>IPWatchOnline</name>
    <message>
        <source>Интерфейс «%1» не найден: он учитывается, когда появится</source>
        <translation>Interface “%1” not found: it will be counted once it appears</translation>
    </message>
    <message>
        <source>NetworkManager недоступен: пока он не вернётся, Vimo не проверяет, лимитное ли подключение</source>
        <translation>NetworkManager is unavailable: until it is back, Vimo does not check whether the connection is metered</translation>
    </message>
</context>
<context>
    <name>LineListView</name>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
</context>
<context>
    <name>MainPage</name>
    <message>
        <source>Месяц</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>Период</source>
        <translation>Period</translation>
    </message>
    <message>
        <source>За</source>
        <translation>For</translation>
    </message>
    <message>
        <source>dd.MM.yyyy</source>
        <translation>dd.MM.yyyy</translation>
    </message>
    <message>
        <source>С</source>
        <translation>From</translation>
    </message>
    <message>
        <source>по</source>
        <translation>to</translation>
    </message>
</context>
<context>
    <name>Money</name>
    <message>
        <source>%1 мин.</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 час.</source>
        <translation>%1 h</translation>
    </message>
    <message>
        <source>%1 ч. %2 мин.</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>,</source>
        <comment>the decimal separator</comment>
        <translation>.</translation>
    </message>
    <message numerus="yes">
        <source>осталось %n дн.</source>
        <translation>
            <numerusform>%n day left</numerusform>
            <numerusform>%n days left</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 коп.</source>
        <translation>%1 kop.</translation>
    </message>
    <message>
        <source>%1 гр.</source>
        <translation>%1 UAH</translation>
    </message>
    <message>
        <source>%1 гр. %2 коп.</source>
        <translation>%1 UAH %2 kop.</translation>
    </message>
    <message>
        <source>%1,%2 гр.</source>
        <translation>%1.%2 UAH</translation>
    </message>
</context>
<context>
    <name>Months</name>
    <message>
        <source>Январь</source>
        <translation>January</translation>
    </message>
    <message>
        <source>Февраль</source>
        <translation>February</translation>
    </message>
    <message>
        <source>Март</source>
        <translation>March</translation>
    </message>
    <message>
        <source>Апрель</source>
        <translation>April</translation>
    </message>
    <message>
        <source>Май</source>
        <translation>May</translation>
    </message>
    <message>
        <source>Июнь</source>
        <translation>June</translation>
    </message>
    <message>
        <source>Июль</source>
        <translation>July</translation>
    </message>
    <message>
        <source>Август</source>
        <translation>August</translation>
    </message>
    <message>
        <source>Сентябрь</source>
        <translation>September</translation>
    </message>
    <message>
        <source>Октябрь</source>
        <translation>October</translation>
    </message>
    <message>
        <source>Ноябрь</source>
        <translation>November</translation>
    </message>
    <message>
        <source>Декабрь</source>
        <translation>December</translation>
    </message>
</context>
<context>
    <name>Overview</name>
    <message>
        <source>Прогноз на конец цикла: %1</source>
        <translation>Forecast for cycle end: %1</translation>
    </message>
    <message>
        <source>%1 из %2</source>
        <translation>%1 of %2</translation>
    </message>
    <message>
        <source>В день можно %1</source>
        <translation>Up to %1 per day</translation>
    </message>
    <message>
        <source>превышен на %1</source>
        <translation>exceeded by %1</translation>
    </message>
    <message>
        <source>превысит на %1</source>
        <translation>will exceed by %1</translation>
    </message>
    <message>
        <source>в пределах бюджета</source>
        <translation>within budget</translation>
    </message>
    <message>
        <source>Цикл с %1 по %2, %3</source>
        <translation>Cycle %1 to %2, %3</translation>
    </message>
    <message>
        <source>Деньги</source>
        <translation>Money</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Трафик</source>
        <translation>Traffic</translation>
    </message>
</context>
<context>
    <name>OverviewWindow</name>
    <message>
        <source>Vimo — обзор</source>
        <translation>Vimo — overview</translation>
    </message>
    <message>
        <source>Сеанс</source>
        <translation>Session</translation>
    </message>
    <message>
        <source>Начало:</source>
        <translation>Start:</translation>
    </message>
    <message>
        <source>Время:</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>Стоимость:</source>
        <translation>Cost:</translation>
    </message>
    <message>
        <source>Трафик:</source>
        <translation>Traffic:</translation>
    </message>
    <message>
        <source>Адрес:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>Нет соединения</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>Цикл и бюджет</source>
        <translation>Cycle and budget</translation>
    </message>
    <message>
        <source>Деньги</source>
        <translation>Money</translation>
    </message>
    <message>
        <source>Бюджет: деньги</source>
        <translation>Budget: money</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Бюджет: время</source>
        <translation>Budget: time</translation>
    </message>
    <message>
        <source>Трафик</source>
        <translation>Traffic</translation>
    </message>
    <message>
        <source>Бюджет: трафик</source>
        <translation>Budget: traffic</translation>
    </message>
    <message>
        <source>&amp;График</source>
        <translation>C&amp;hart</translation>
    </message>
    <message>
        <source>Дни &amp;цикла</source>
        <translation>Cycle &amp;days</translation>
    </message>
    <message>
        <source>&amp;12 циклов</source>
        <translation>&amp;12 cycles</translation>
    </message>
    <message>
        <source>&amp;Минуты</source>
        <translation>&amp;Minutes</translation>
    </message>
    <message>
        <source>&amp;Деньги</source>
        <translation>M&amp;oney</translation>
    </message>
    <message>
        <source>Мега&amp;байты</source>
        <translation>Mega&amp;bytes</translation>
    </message>
    <message>
        <source>Бюджеты и цены задаются на вкладке «План и бюджет».</source>
        <translation>Budgets and prices are set on the “Plan and budget” tab.</translation>
    </message>
    <message>
        <source>Последние &amp;сеансы</source>
        <translation>&amp;Recent sessions</translation>
    </message>
    <message>
        <source>Начало</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Конец</source>
        <translation>End</translation>
    </message>
    <message>
        <source>Стоимость</source>
        <translation>Cost</translation>
    </message>
    <message>
        <source>Адрес</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Примечание</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>&amp;Закрыть</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Время × тариф</source>
        <translation>Time × rate</translation>
    </message>
    <message>
        <source>По ценам плана</source>
        <translation>At plan prices</translation>
    </message>
    <message>
        <source>Цены плана для этого сеанса не записаны</source>
        <translation>No plan prices recorded for this session</translation>
    </message>
    <message>
        <source>%1 МБ</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 КБ</source>
        <translation>%1 kB</translation>
    </message>
    <message>
        <source>%1 Б</source>
        <translation>%1 B</translation>
    </message>
    <message>
        <source>Получено %1 Б, отправлено %2 Б</source>
        <translation>Received %1 B, sent %2 B</translation>
    </message>
    <message>
        <source>Диаграмма недоступна.</source>
        <translation>Chart unavailable.</translation>
    </message>
    <message>
        <source>Сегодня</source>
        <translation>Today</translation>
    </message>
    <message>
        <source>Текущий цикл</source>
        <translation>Current cycle</translation>
    </message>
    <message>
        <source>мин.</source>
        <translation>min</translation>
    </message>
    <message>
        <source>гр.</source>
        <translation>UAH</translation>
    </message>
    <message>
        <source>МБ</source>
        <translation>MB</translation>
    </message>
    <message>
        <source>Байты этого сеанса не записаны</source>
        <translation>No bytes recorded for this session</translation>
    </message>
    <message>
        <source>Программа завершилась во время сеанса; строка дописана при следующем запуске</source>
        <translation>The program ended during the session; the line was added at the next start</translation>
    </message>
    <message>
        <source>⚠ аварийное завершение</source>
        <translation>⚠ abnormal exit</translation>
    </message>
    <message>
        <source>Отключение при бюджете</source>
        <translation>Stop at the budget</translation>
    </message>
</context>
<context>
    <name>PlanFields</name>
    <message>
        <source>от %1 до %2</source>
        <translation>from %1 to %2</translation>
    </message>
    <message>
        <source>целое число %1</source>
        <translation>whole number %1</translation>
    </message>
    <message>
        <source>число, например %1</source>
        <translation>number, e.g. %1</translation>
    </message>
    <message>
        <source>не больше трёх десятичных знаков</source>
        <translation>at most three decimal places</translation>
    </message>
    <message>
        <source>сутки начинаются в 00:00</source>
        <translation>the day starts at 00:00</translation>
    </message>
    <message>
        <source>время ЧЧ:ММ, например 21:00</source>
        <translation>time HH:MM, e.g. 21:00</translation>
    </message>
    <message>
        <source>целые проценты через запятую, например 80, 100</source>
        <translation>whole percents, comma-separated, e.g. 80, 100</translation>
    </message>
    <message>
        <source>%1 указано дважды</source>
        <translation>%1 given twice</translation>
    </message>
    <message>
        <source>%1: процент от 1 до %2</source>
        <translation>%1: percent from 1 to %2</translation>
    </message>
    <message>
        <source>отметьте хотя бы один день</source>
        <translation>tick at least one day</translation>
    </message>
    <message>
        <source>укажите и «с», и «до» или ни одного</source>
        <translation>give both “From” and “To”, or neither</translation>
    </message>
    <message>
        <source>«до» совпадает с «с»</source>
        <translation>“To” equals “From”</translation>
    </message>
    <message>
        <source>укажите цену минуты</source>
        <translation>enter the price per minute</translation>
    </message>
    <message>
        <source>имя интерфейса: от 1 до %1 знаков</source>
        <translation>interface name: 1 to %1 characters</translation>
    </message>
    <message>
        <source>введите хотя бы одну цифру оператора</source>
        <translation>type in at least one of the provider’s figures</translation>
    </message>
</context>
<context>
    <name>PlanSettingsPanel</name>
    <message>
        <source>Расчётный период</source>
        <translation>Billing period</translation>
    </message>
    <message>
        <source>&amp;День начала периода:</source>
        <translation>Period s&amp;tart day:</translation>
    </message>
    <message>
        <source>пусто — календарный месяц</source>
        <translation>empty — calendar month</translation>
    </message>
    <message>
        <source>Бюджет на период</source>
        <translation>Budget per period</translation>
    </message>
    <message>
        <source>Деньги, &amp;коп.:</source>
        <translation>Money, &amp;kop.:</translation>
    </message>
    <message>
        <source>без предела</source>
        <translation>no limit</translation>
    </message>
    <message>
        <source>&amp;Минуты:</source>
        <translation>&amp;Minutes:</translation>
    </message>
    <message>
        <source>Мега&amp;байты:</source>
        <translation>Mega&amp;bytes:</translation>
    </message>
    <message>
        <source>&amp;Оповещать при, %:</source>
        <translation>&amp;Notify at, %:</translation>
    </message>
    <message>
        <source>не оповещать</source>
        <translation>don&apos;t notify</translation>
    </message>
    <message>
        <source>Деньги по та&amp;рифному плану</source>
        <translation>Cost b&amp;y rate plan</translation>
    </message>
    <message>
        <source>Пл&amp;ата за подключение, коп.:</source>
        <translation>Connection &amp;fee, kop.:</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Бесплатных мин&amp;ут за период:</source>
        <translation>Fr&amp;ee minutes per period:</translation>
    </message>
    <message>
        <source>&amp;Цена мегабайта, коп.:</source>
        <translation>Me&amp;gabyte price, kop.:</translation>
    </message>
    <message>
        <source>трафик бесплатен</source>
        <translation>traffic is free</translation>
    </message>
    <message>
        <source>Цены ми&amp;нут: минуту оценивает первое подходящее правило, остальные — по тарифу страницы настроек.</source>
        <translation>&amp;Minute prices: the first matching rule prices a minute; others use the Settings page rate.</translation>
    </message>
    <message>
        <source>Пн</source>
        <translation>Mo</translation>
    </message>
    <message>
        <source>Вт</source>
        <translation>Tu</translation>
    </message>
    <message>
        <source>Ср</source>
        <translation>We</translation>
    </message>
    <message>
        <source>Чт</source>
        <translation>Th</translation>
    </message>
    <message>
        <source>Пт</source>
        <translation>Fr</translation>
    </message>
    <message>
        <source>Сб</source>
        <translation>Sa</translation>
    </message>
    <message>
        <source>Вс</source>
        <translation>Su</translation>
    </message>
    <message>
        <source>С</source>
        <translation>From</translation>
    </message>
    <message>
        <source>До</source>
        <translation>To</translation>
    </message>
    <message>
        <source>Коп./мин</source>
        <translation>Kop./min</translation>
    </message>
    <message>
        <source>Доба&amp;вить</source>
        <translation>&amp;Add</translation>
    </message>
    <message>
        <source>Уда&amp;лить</source>
        <translation>Remo&amp;ve</translation>
    </message>
    <message>
        <source>Вы&amp;ше</source>
        <translation>&amp;Up</translation>
    </message>
    <message>
        <source>Ни&amp;же</source>
        <translation>Do&amp;wn</translation>
    </message>
    <message>
        <source>Какие подключения считать</source>
        <translation>Which connections to count</translation>
    </message>
    <message>
        <source>Интер&amp;фейсы (не отмечено ни одного — считаются все):</source>
        <translation>&amp;Interfaces (none ticked — all are counted):</translation>
    </message>
    <message>
        <source>&amp;Ещё интерфейс:</source>
        <translation>E&amp;xtra interface:</translation>
    </message>
    <message>
        <source>имя, например usb0</source>
        <translation>name, e.g. usb0</translation>
    </message>
    <message>
        <source>Добав&amp;ить</source>
        <translation>A&amp;dd</translation>
    </message>
    <message>
        <source>&amp;Только лимитные подключения (как их отмечает NetworkManager)</source>
        <translation>&amp;Only metered connections (as NetworkManager marks them)</translation>
    </message>
    <message>
        <source>Со&amp;хранить</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>Пере&amp;читать</source>
        <translation>Re&amp;load</translation>
    </message>
    <message>
        <source>Файл не изменён: исправьте его и нажмите «Перечитать».</source>
        <translation>The file was left unchanged: fix it and press “Reload”.</translation>
    </message>
    <message>
        <source>Не сохранено: исправьте отмеченные поля.</source>
        <translation>Not saved: correct the marked fields.</translation>
    </message>
    <message>
        <source>Файл Vimo.toml изменён после того, как панель его прочла. Записать поверх него значения из окна?</source>
        <translation>Vimo.toml has changed since the panel read it. Overwrite it with the values from the window?</translation>
    </message>
    <message>
        <source>Не сохранено: файл изменён вне окна; «Перечитать» покажет его.</source>
        <translation>Not saved: the file changed outside the window; “Reload” shows it.</translation>
    </message>
    <message>
        <source>Не сохранено (%1): %2</source>
        <translation>Not saved (%1): %2</translation>
    </message>
    <message>
        <source>Не сохранено: %1</source>
        <translation>Not saved: %1</translation>
    </message>
    <message>
        <source>Сохранено.</source>
        <translation>Saved.</translation>
    </message>
    <message>
        <source>Изменений нет: файл не записан.</source>
        <translation>No changes: file not written.</translation>
    </message>
    <message>
        <source>Изменения плана и бюджета не сохранены. Сохранить их в Vimo.toml?</source>
        <translation>Plan and budget changes are not saved. Save them to Vimo.toml?</translation>
    </message>
    <message>
        <source>Показан Vimo.toml, изменённый вне окна.</source>
        <translation>Showing Vimo.toml, changed outside the window.</translation>
    </message>
    <message>
        <source>Vimo.toml изменён вне окна; ваши правки не сохранены. «Перечитать» покажет файл.</source>
        <translation>Vimo.toml changed outside the window; your edits are not saved. “Reload” shows the file.</translation>
    </message>
    <message>
        <source>дни</source>
        <translation>days</translation>
    </message>
    <message>
        <source>Правило %1, %2: %3</source>
        <translation>Rule %1, %2: %3</translation>
    </message>
    <message>
        <source>Правило %1: %2</source>
        <translation>Rule %1: %2</translation>
    </message>
    <message>
        <source>Не сохраняется: %1</source>
        <translation>Cannot save: %1</translation>
    </message>
    <message>
        <source>Сверка с оператором</source>
        <translation>Match the provider</translation>
    </message>
    <message>
        <source>Сколько насчитал оператор за этот цикл (в личном кабинете или ответе на USSD): с этого момента цикл считается от его цифр.</source>
        <translation>What the provider has counted in this cycle (on its site or in a USSD reply): from now on the cycle counts from its figures.</translation>
    </message>
    <message>
        <source>Деньги по сч&amp;ёту, коп.:</source>
        <translation>Money &amp;quoted, kop.:</translation>
    </message>
    <message>
        <source>не сверять</source>
        <translation>not matched</translation>
    </message>
    <message>
        <source>Минут&amp;ы:</source>
        <translation>Minutes &amp;used:</translation>
    </message>
    <message>
        <source>Мегаба&amp;йты:</source>
        <translation>Data si&amp;ze, MB:</translation>
    </message>
    <message>
        <source>Сверит&amp;ь</source>
        <translation>Ad&amp;just</translation>
    </message>
    <message>
        <source>Сверено %1 %2</source>
        <translation>Matched on %1 at %2</translation>
    </message>
</context>
<context>
    <name>QtMessageBoxes</name>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>&amp;Сохранить</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>&amp;Не сохранять</source>
        <translation>&amp;Don&apos;t save</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>Report</name>
    <message>
        <source>%1 МБ</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>Дата: %1</source>
        <translation>Date: %1</translation>
    </message>
    <message>
        <source>Сегодня: %1</source>
        <translation>Today: %1</translation>
    </message>
    <message>
        <source>Месяц с %1 по %2: %3</source>
        <translation>Month %1 to %2: %3</translation>
    </message>
    <message>
        <source>Цикл с %1 по %2 (%3 дн., %4): %5</source>
        <translation>Cycle %1 to %2 (%3 days, %4): %5</translation>
    </message>
    <message>
        <source>Прогноз на цикл: %1</source>
        <translation>Cycle forecast: %1</translation>
    </message>
    <message>
        <source>Трафик, принято/отправлено: сегодня %1, месяц %2, цикл %3</source>
        <translation>Traffic, received/sent: today %1, month %2, cycle %3</translation>
    </message>
    <message>
        <source>Бюджет %1: израсходовано %2, в день можно %3</source>
        <translation>Budget %1: %2 used, up to %3 per day</translation>
    </message>
    <message>
        <source>Оповещения в цикле:</source>
        <translation>Alerts this cycle:</translation>
    </message>
    <message>
        <source>время не читается</source>
        <translation>time unreadable</translation>
    </message>
    <message>
        <source>Сеанс с %1: %2</source>
        <translation>Session since %1: %2</translation>
    </message>
    <message>
        <source>Сеанс: %1</source>
        <translation>Session: %1</translation>
    </message>
    <message>
        <source>, адрес %1</source>
        <translation>, address %1</translation>
    </message>
    <message>
        <source>, принято %1, отправлено %2</source>
        <translation>, received %1, sent %2</translation>
    </message>
    <message>
        <source> (остался от запуска, который завершился во время сеанса)</source>
        <translation> (left over from a run that ended during the session)</translation>
    </message>
    <message>
        <source>Бюджет превышен: %1 из %2</source>
        <translation>Budget exceeded: %1 of %2</translation>
    </message>
    <message>
        <source>Прогноз превышает бюджет: %1 из %2</source>
        <translation>Forecast exceeds budget: %1 of %2</translation>
    </message>
</context>
<context>
    <name>ReportRange</name>
    <message>
        <source>Первая дата должна быть не больше второй</source>
        <translation>The first date must not be after the second</translation>
    </message>
</context>
<context>
    <name>SettingsPage</name>
    <message>
        <source>Запись соединений ведётся с</source>
        <translation>Connections logged since</translation>
    </message>
    <message>
        <source>Тариф</source>
        <translation>Rate</translation>
    </message>
    <message>
        <source>Стоимость 1 минуты  : </source>
        <translation>Cost of 1 minute  : </translation>
    </message>
    <message>
        <source>коп.</source>
        <translation>kop.</translation>
    </message>
    <message>
        <source>Автозагрузка</source>
        <translation>Autostart</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Данные успешно сохранены</source>
        <translation>Data saved successfully</translation>
    </message>
</context>
<context>
    <name>StatisticsPage</name>
    <message>
        <source>Показать статистику соединений за : </source>
        <translation>Show connection statistics for : </translation>
    </message>
    <message>
        <source>День</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>Месяц</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>Период</source>
        <translation>Period</translation>
    </message>
    <message>
        <source>Выберите день : </source>
        <translation>Choose a day : </translation>
    </message>
    <message>
        <source>dd.MM.yyyy</source>
        <translation>dd.MM.yyyy</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Выберите месяц : </source>
        <translation>Choose a month : </translation>
    </message>
    <message>
        <source>С</source>
        <translation>From</translation>
    </message>
    <message>
        <source>по</source>
        <translation>to</translation>
    </message>
    <message>
        <source>Статистика за :</source>
        <translation>Statistics for :</translation>
    </message>
    <message>
        <source>Сохранить ...</source>
        <translation>Save ...</translation>
    </message>
    <message>
        <source>Запись статистики в файл</source>
        <translation>Save statistics to file</translation>
    </message>
    <message>
        <source>Текстовый файл (*.txt)</source>
        <translation>Text file (*.txt)</translation>
    </message>
    <message>
        <source>Статистика ведётся с %1</source>
        <translation>Statistics kept since %1</translation>
    </message>
    <message>
        <source>Выбранная вами дата ещё не наступила</source>
        <translation>The selected date is in the future</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Главная</source>
        <translation>Main</translation>
    </message>
    <message>
        <source>Статистика</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Обзор</source>
        <translation>Overview</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>&amp;План и бюджет</source>
        <translation>&amp;Plan and budget</translation>
    </message>
    <message>
        <source>Нет области уведомлений: окно остаётся на экране.</source>
        <translation>No system tray: the window stays on screen.</translation>
    </message>
    <message>
        <source>Вы действительно хотите выключить программу ?</source>
        <translation>Do you really want to quit the program?</translation>
    </message>
    <message>
        <source>Не отключать</source>
        <translation>Do not stop</translation>
    </message>
</context>
<context>
    <name>TMaskEdit</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
</context>
<context>
    <name>TrayTip</name>
    <message>
        <source>День : %1 (%2)
Мес.  : %3 (%4)</source>
        <translation>Day : %1 (%2)
Month : %3 (%4)</translation>
    </message>
</context>
</TS>
