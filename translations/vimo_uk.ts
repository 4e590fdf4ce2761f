<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="uk" sourcelanguage="ru_RU">
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
        <translation>Автор: команда розробників Vimo</translation>
    </message>
    <message>
        <source>Спасибо всем, кто проверял программу</source>
        <translation>Дякуємо всім, хто перевіряв програму</translation>
    </message>
    <message>
        <source>Программа бесплатна,</source>
        <translation>Програма безплатна,</translation>
    </message>
    <message>
        <source>© Vimo Team, 2026</source>
        <translation>© Vimo Team, 2026</translation>
    </message>
    <message>
        <source>Киев</source>
        <translation>Київ</translation>
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
        <translation>%1 хв.</translation>
    </message>
    <message>
        <source>%1 МБ</source>
        <translation>%1 МБ</translation>
    </message>
    <message>
        <source>Израсходовано %1% бюджета: %2 из %3</source>
        <translation>Витрачено %1% бюджету: %2 з %3</translation>
    </message>
</context>
<context>
    <name>BudgetStop</name>
    <message>
        <source>Соединение будет отключено через %1 с., в %2.</source>
        <translation>Зʼєднання буде розірвано через %1 с., о %2.</translation>
    </message>
    <message>
        <source>Соединение отключено. %1</source>
        <translation>Зʼєднання розірвано. %1</translation>
    </message>
    <message>
        <source>Отключение в %1</source>
        <translation>Розірвання о %1</translation>
    </message>
    <message>
        <source>Отключение отложено до %1</source>
        <translation>Розірвання відкладено до %1</translation>
    </message>
    <message>
        <source>Не отключать до конца цикла</source>
        <translation>Не розривати до кінця циклу</translation>
    </message>
    <message>
        <source>Отключено в %1</source>
        <translation>Розірвано о %1</translation>
    </message>
    <message>
        <source>Не удалось отключить в %1</source>
        <translation>Не вдалося розірвати о %1</translation>
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
        <translation>Розірвати зараз</translation>
    </message>
    <message>
        <source>Ещё 15 минут</source>
        <translation>Ще 15 хвилин</translation>
    </message>
    <message>
        <source>Не отключать до конца цикла</source>
        <translation>Не розривати до кінця циклу</translation>
    </message>
    <message>
        <source>Vimo продолжает считать.</source>
        <translation>Vimo рахує далі.</translation>
    </message>
    <message>
        <source>Соединение отключено.</source>
        <translation>Зʼєднання розірвано.</translation>
    </message>
    <message>
        <source>Соединение не отключено: NetworkManager недоступен.</source>
        <translation>Зʼєднання не розірвано: NetworkManager недоступний.</translation>
    </message>
    <message>
        <source>Соединение не отключено: NetworkManager не дал на это прав (polkit).</source>
        <translation>Зʼєднання не розірвано: NetworkManager не надав на це прав (polkit).</translation>
    </message>
    <message>
        <source>Соединение не отключено: NetworkManager не знает соединения на «%1».</source>
        <translation>Зʼєднання не розірвано: NetworkManager не знає зʼєднання на «%1».</translation>
    </message>
    <message>
        <source>Соединение не отключено: %1.</source>
        <translation>Зʼєднання не розірвано: %1.</translation>
    </message>
</context>
<context>
    <name>Errors</name>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>«%1» не є правильним цілим числом</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid date</source>
        <translation>«%1» не є правильною датою</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>«%1» не є правильним дробовим числом</translation>
    </message>
    <message>
        <source>Date exceeds maximum of %1</source>
        <translation>Дата перевищує максимум %1</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Файл не знайдено</translation>
    </message>
    <message>
        <source>File access denied</source>
        <translation>Доступ до файлу заборонено</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Диск заповнений</translation>
    </message>
    <message>
        <source>I/O error %1</source>
        <translation>Помилка введення-виведення %1</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Не є звичайним файлом</translation>
    </message>
    <message>
        <source>Read beyond end of file</source>
        <translation>Читання за кінцем файлу</translation>
    </message>
    <message>
        <source>Exception %1 in module %2 at %3.</source>
        <translation>Виняток %1 у модулі %2 за адресою %3.</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Помилка програми</translation>
    </message>
    <message>
        <source>Unknown error.</source>
        <translation>Невідома помилка.</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Не вдається відкрити файл %1</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Не вдається створити файл %1</translation>
    </message>
    <message>
        <source>Cannot remove file %1</source>
        <translation>Не вдається вилучити файл %1</translation>
    </message>
</context>
<context>
    <name>IPWatchOnline</name>
    <message>
        <source>Интерфейс «%1» не найден: он учитывается, когда появится</source>
        <translation>Інтерфейс «%1» не знайдено: він врахується, коли зʼявиться</translation>
    </message>
    <message>
        <source>NetworkManager недоступен: пока он не вернётся, Vimo не проверяет, лимитное ли подключение</source>
        <translation>NetworkManager недоступний: доки він не повернеться, Vimo не перевіряє, чи лімітне зʼєднання</translation>
    </message>
</context>
<context>
    <name>LineListView</name>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Копіювати</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Виділити все</translation>
    </message>
</context>
<context>
    <name>MainPage</name>
    <message>
        <source>Месяц</source>
        <translation>Місяць</translation>
    </message>
    <message>
        <source>Период</source>
        <translation>Період</translation>
    </message>
    <message>
        <source>За</source>
        <translation>За</translation>
    </message>
    <message>
        <source>dd.MM.yyyy</source>
        <translation>dd.MM.yyyy</translation>
    </message>
    <message>
        <source>С</source>
        <translation>З</translation>
    </message>
    <message>
        <source>по</source>
        <translation>по</translation>
    </message>
</context>
<context>
    <name>Money</name>
    <message>
        <source>%1 мин.</source>
        <translation>%1 хв.</translation>
    </message>
    <message>
        <source>%1 час.</source>
        <translation>%1 год.</translation>
    </message>
    <message>
        <source>%1 ч. %2 мин.</source>
        <translation>%1 год. %2 хв.</translation>
    </message>
    <message>
        <source>,</source>
        <comment>the decimal separator</comment>
        <translation>,</translation>
    </message>
    <message numerus="yes">
        <source>осталось %n дн.</source>
        <translation>
            <numerusform>залишився %n день</numerusform>
            <numerusform>залишилося %n дні</numerusform>
            <numerusform>залишилося %n днів</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 коп.</source>
        <translation>%1 коп.</translation>
    </message>
    <message>
        <source>%1 гр.</source>
        <translation>%1 грн</translation>
    </message>
    <message>
        <source>%1 гр. %2 коп.</source>
        <translation>%1 грн %2 коп.</translation>
    </message>
    <message>
        <source>%1,%2 гр.</source>
        <translation>%1,%2 грн</translation>
    </message>
</context>
<context>
    <name>Months</name>
    <message>
        <source>Январь</source>
        <translation>Січень</translation>
    </message>
    <message>
        <source>Февраль</source>
        <translation>Лютий</translation>
    </message>
    <message>
        <source>Март</source>
        <translation>Березень</translation>
    </message>
    <message>
        <source>Апрель</source>
        <translation>Квітень</translation>
    </message>
    <message>
        <source>Май</source>
        <translation>Травень</translation>
    </message>
    <message>
        <source>Июнь</source>
        <translation>Червень</translation>
    </message>
    <message>
        <source>Июль</source>
        <translation>Липень</translation>
    </message>
    <message>
        <source>Август</source>
        <translation>Серпень</translation>
    </message>
    <message>
        <source>Сентябрь</source>
        <translation>Вересень</translation>
    </message>
    <message>
        <source>Октябрь</source>
        <translation>Жовтень</translation>
    </message>
    <message>
        <source>Ноябрь</source>
        <translation>Листопад</translation>
    </message>
    <message>
        <source>Декабрь</source>
        <translation>Грудень</translation>
    </message>
</context>
<context>
    <name>Overview</name>
    <message>
        <source>Прогноз на конец цикла: %1</source>
        <translation>Прогноз на кінець циклу: %1</translation>
    </message>
    <message>
        <source>%1 из %2</source>
        <translation>%1 з %2</translation>
    </message>
    <message>
        <source>В день можно %1</source>
        <translation>На день можна %1</translation>
    </message>
    <message>
        <source>превышен на %1</source>
        <translation>перевищено на %1</translation>
    </message>
    <message>
        <source>превысит на %1</source>
        <translation>перевищить на %1</translation>
    </message>
    <message>
        <source>в пределах бюджета</source>
        <translation>у межах бюджету</translation>
    </message>
    <message>
        <source>Цикл с %1 по %2, %3</source>
        <translation>Цикл з %1 по %2, %3</translation>
    </message>
    <message>
        <source>Деньги</source>
        <translation>Гроші</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Час</translation>
    </message>
    <message>
        <source>Трафик</source>
        <translation>Трафік</translation>
    </message>
</context>
<context>
    <name>OverviewWindow</name>
    <message>
        <source>Vimo — обзор</source>
        <translation>Vimo — огляд</translation>
    </message>
    <message>
        <source>Сеанс</source>
        <translation>Сеанс</translation>
    </message>
    <message>
        <source>Начало:</source>
        <translation>Початок:</translation>
    </message>
    <message>
        <source>Время:</source>
        <translation>Час:</translation>
    </message>
    <message>
        <source>Стоимость:</source>
        <translation>Вартість:</translation>
    </message>
    <message>
        <source>Трафик:</source>
        <translation>Трафік:</translation>
    </message>
    <message>
        <source>Адрес:</source>
        <translation>Адреса:</translation>
    </message>
    <message>
        <source>Нет соединения</source>
        <translation>Немає зʼєднання</translation>
    </message>
    <message>
        <source>Цикл и бюджет</source>
        <translation>Цикл і бюджет</translation>
    </message>
    <message>
        <source>Деньги</source>
        <translation>Гроші</translation>
    </message>
    <message>
        <source>Бюджет: деньги</source>
        <translation>Бюджет: гроші</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Час</translation>
    </message>
    <message>
        <source>Бюджет: время</source>
        <translation>Бюджет: час</translation>
    </message>
    <message>
        <source>Трафик</source>
        <translation>Трафік</translation>
    </message>
    <message>
        <source>Бюджет: трафик</source>
        <translation>Бюджет: трафік</translation>
    </message>
    <message>
        <source>&amp;График</source>
        <translation>Гра&amp;фік</translation>
    </message>
    <message>
        <source>Дни &amp;цикла</source>
        <translation>Дні &amp;циклу</translation>
    </message>
    <message>
        <source>&amp;12 циклов</source>
        <translation>&amp;12 циклів</translation>
    </message>
    <message>
        <source>&amp;Минуты</source>
        <translation>&amp;Хвилини</translation>
    </message>
    <message>
        <source>&amp;Деньги</source>
        <translation>&amp;Гроші</translation>
    </message>
    <message>
        <source>Мега&amp;байты</source>
        <translation>Мега&amp;байти</translation>
    </message>
    <message>
        <source>Бюджеты и цены задаются на вкладке «План и бюджет».</source>
        <translation>Бюджети й ціни задаються на вкладці «План і бюджет».</translation>
    </message>
    <message>
        <source>Последние &amp;сеансы</source>
        <translation>Останні с&amp;еанси</translation>
    </message>
    <message>
        <source>Начало</source>
        <translation>Початок</translation>
    </message>
    <message>
        <source>Конец</source>
        <translation>Кінець</translation>
    </message>
    <message>
        <source>Стоимость</source>
        <translation>Вартість</translation>
    </message>
    <message>
        <source>Адрес</source>
        <translation>Адреса</translation>
    </message>
    <message>
        <source>Примечание</source>
        <translation>Примітка</translation>
    </message>
    <message>
        <source>&amp;Закрыть</source>
        <translation>&amp;Закрити</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Закрити</translation>
    </message>
    <message>
        <source>Время × тариф</source>
        <translation>Час × тариф</translation>
    </message>
    <message>
        <source>По ценам плана</source>
        <translation>За цінами плану</translation>
    </message>
    <message>
        <source>Цены плана для этого сеанса не записаны</source>
        <translation>Ціни плану для цього сеансу не записано</translation>
    </message>
    <message>
        <source>%1 МБ</source>
        <translation>%1 МБ</translation>
    </message>
    <message>
        <source>%1 КБ</source>
        <translation>%1 КБ</translation>
    </message>
    <message>
        <source>%1 Б</source>
        <translation>%1 Б</translation>
    </message>
    <message>
        <source>Получено %1 Б, отправлено %2 Б</source>
        <translation>Отримано %1 Б, надіслано %2 Б</translation>
    </message>
    <message>
        <source>Диаграмма недоступна.</source>
        <translation>Діаграма недоступна.</translation>
    </message>
    <message>
        <source>Сегодня</source>
        <translation>Сьогодні</translation>
    </message>
    <message>
        <source>Текущий цикл</source>
        <translation>Поточний цикл</translation>
    </message>
    <message>
        <source>мин.</source>
        <translation>хв.</translation>
    </message>
    <message>
        <source>гр.</source>
        <translation>грн</translation>
    </message>
    <message>
        <source>МБ</source>
        <translation>МБ</translation>
    </message>
    <message>
        <source>Байты этого сеанса не записаны</source>
        <translation>Байти цього сеансу не записано</translation>
    </message>
    <message>
        <source>Программа завершилась во время сеанса; строка дописана при следующем запуске</source>
        <translation>Програма завершилася посеред сеансу; рядок дописано при наступному запуску</translation>
    </message>
    <message>
        <source>⚠ аварийное завершение</source>
        <translation>⚠ аварійне завершення</translation>
    </message>
    <message>
        <source>Отключение при бюджете</source>
        <translation>Розірвання за бюджетом</translation>
    </message>
</context>
<context>
    <name>PlanFields</name>
    <message>
        <source>от %1 до %2</source>
        <translation>від %1 до %2</translation>
    </message>
    <message>
        <source>целое число %1</source>
        <translation>ціле число %1</translation>
    </message>
    <message>
        <source>число, например %1</source>
        <translation>число, наприклад %1</translation>
    </message>
    <message>
        <source>не больше трёх десятичных знаков</source>
        <translation>не більше трьох десяткових знаків</translation>
    </message>
    <message>
        <source>сутки начинаются в 00:00</source>
        <translation>доба починається о 00:00</translation>
    </message>
    <message>
        <source>время ЧЧ:ММ, например 21:00</source>
        <translation>час ГГ:ХХ, наприклад 21:00</translation>
    </message>
    <message>
        <source>целые проценты через запятую, например 80, 100</source>
        <translation>цілі відсотки через кому, наприклад 80, 100</translation>
    </message>
    <message>
        <source>%1 указано дважды</source>
        <translation>%1 вказано двічі</translation>
    </message>
    <message>
        <source>%1: процент от 1 до %2</source>
        <translation>%1: відсоток від 1 до %2</translation>
    </message>
    <message>
        <source>отметьте хотя бы один день</source>
        <translation>позначте хоча б один день</translation>
    </message>
    <message>
        <source>укажите и «с», и «до» или ни одного</source>
        <translation>вкажіть і «з», і «до» або жодного</translation>
    </message>
    <message>
        <source>«до» совпадает с «с»</source>
        <translation>«до» збігається з «з»</translation>
    </message>
    <message>
        <source>укажите цену минуты</source>
        <translation>вкажіть ціну хвилини</translation>
    </message>
    <message>
        <source>имя интерфейса: от 1 до %1 знаков</source>
        <translation>імʼя інтерфейсу: від 1 до %1 знаків</translation>
    </message>
    <message>
        <source>введите хотя бы одну цифру оператора</source>
        <translation>введіть хоча б одну цифру оператора</translation>
    </message>
</context>
<context>
    <name>PlanSettingsPanel</name>
    <message>
        <source>Расчётный период</source>
        <translation>Розрахунковий період</translation>
    </message>
    <message>
        <source>&amp;День начала периода:</source>
        <translation>&amp;День початку періоду:</translation>
    </message>
    <message>
        <source>пусто — календарный месяц</source>
        <translation>порожньо — календарний місяць</translation>
    </message>
    <message>
        <source>Бюджет на период</source>
        <translation>Бюджет на період</translation>
    </message>
    <message>
        <source>Деньги, &amp;коп.:</source>
        <translation>Гроші, &amp;коп.:</translation>
    </message>
    <message>
        <source>без предела</source>
        <translation>без обмежень</translation>
    </message>
    <message>
        <source>&amp;Минуты:</source>
        <translation>&amp;Хвилини:</translation>
    </message>
    <message>
        <source>Мега&amp;байты:</source>
        <translation>Мега&amp;байти:</translation>
    </message>
    <message>
        <source>&amp;Оповещать при, %:</source>
        <translation>&amp;Сповіщати при, %:</translation>
    </message>
    <message>
        <source>не оповещать</source>
        <translation>не сповіщати</translation>
    </message>
    <message>
        <source>Деньги по та&amp;рифному плану</source>
        <translation>Гроші за та&amp;рифним планом</translation>
    </message>
    <message>
        <source>Пл&amp;ата за подключение, коп.:</source>
        <translation>Пл&amp;ата за зʼєднання, коп.:</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Бесплатных мин&amp;ут за период:</source>
        <translation>Безплатних хв&amp;илин за період:</translation>
    </message>
    <message>
        <source>&amp;Цена мегабайта, коп.:</source>
        <translation>&amp;Ціна мегабайта, коп.:</translation>
    </message>
    <message>
        <source>трафик бесплатен</source>
        <translation>трафік безплатний</translation>
    </message>
    <message>
        <source>Цены ми&amp;нут: минуту оценивает первое подходящее правило, остальные — по тарифу страницы настроек.</source>
        <translation>Ціни хвили&amp;н: хвилину оцінює перше відповідне правило, решту — за тарифом сторінки налаштувань.</translation>
    </message>
    <message>
        <source>Пн</source>
        <translation>Пн</translation>
    </message>
    <message>
        <source>Вт</source>
        <translation>Вт</translation>
    </message>
    <message>
        <source>Ср</source>
        <translation>Ср</translation>
    </message>
    <message>
        <source>Чт</source>
        <translation>Чт</translation>
    </message>
    <message>
        <source>Пт</source>
        <translation>Пт</translation>
    </message>
    <message>
        <source>Сб</source>
        <translation>Сб</translation>
    </message>
    <message>
        <source>Вс</source>
        <translation>Нд</translation>
    </message>
    <message>
        <source>С</source>
        <translation>З</translation>
    </message>
    <message>
        <source>До</source>
        <translation>До</translation>
    </message>
    <message>
        <source>Коп./мин</source>
        <translation>Коп./хв</translation>
    </message>
    <message>
        <source>Доба&amp;вить</source>
        <translation>Д&amp;одати</translation>
    </message>
    <message>
        <source>Уда&amp;лить</source>
        <translation>&amp;Вилучити</translation>
    </message>
    <message>
        <source>Вы&amp;ше</source>
        <translation>Ви&amp;ще</translation>
    </message>
    <message>
        <source>Ни&amp;же</source>
        <translation>Ни&amp;жче</translation>
    </message>
    <message>
        <source>Какие подключения считать</source>
        <translation>Які зʼєднання враховувати</translation>
    </message>
    <message>
        <source>Интер&amp;фейсы (не отмечено ни одного — считаются все):</source>
        <translation>Інтерфе&amp;йси (не позначено жодного — враховуються всі):</translation>
    </message>
    <message>
        <source>&amp;Ещё интерфейс:</source>
        <translation>Ще &amp;інтерфейс:</translation>
    </message>
    <message>
        <source>имя, например usb0</source>
        <translation>імʼя, наприклад usb0</translation>
    </message>
    <message>
        <source>Добав&amp;ить</source>
        <translation>Дода&amp;ти</translation>
    </message>
    <message>
        <source>&amp;Только лимитные подключения (как их отмечает NetworkManager)</source>
        <translation>&amp;Лише лімітні зʼєднання (як їх позначає NetworkManager)</translation>
    </message>
    <message>
        <source>Со&amp;хранить</source>
        <translation>Збере&amp;гти</translation>
    </message>
    <message>
        <source>Пере&amp;читать</source>
        <translation>Пере&amp;читати</translation>
    </message>
    <message>
        <source>Файл не изменён: исправьте его и нажмите «Перечитать».</source>
        <translation>Файл не змінено: виправте його й натисніть «Перечитати».</translation>
    </message>
    <message>
        <source>Не сохранено: исправьте отмеченные поля.</source>
        <translation>Не збережено: виправте позначені поля.</translation>
    </message>
    <message>
        <source>Файл Vimo.toml изменён после того, как панель его прочла. Записать поверх него значения из окна?</source>
        <translation>Файл Vimo.toml змінено після того, як панель його прочитала. Записати поверх нього значення з вікна?</translation>
    </message>
    <message>
        <source>Не сохранено: файл изменён вне окна; «Перечитать» покажет его.</source>
        <translation>Не збережено: файл змінено поза вікном; «Перечитати» покаже його.</translation>
    </message>
    <message>
        <source>Не сохранено (%1): %2</source>
        <translation>Не збережено (%1): %2</translation>
    </message>
    <message>
        <source>Не сохранено: %1</source>
        <translation>Не збережено: %1</translation>
    </message>
    <message>
        <source>Сохранено.</source>
        <translation>Збережено.</translation>
    </message>
    <message>
        <source>Изменений нет: файл не записан.</source>
        <translation>Змін немає: файл не записано.</translation>
    </message>
    <message>
        <source>Изменения плана и бюджета не сохранены. Сохранить их в Vimo.toml?</source>
        <translation>Зміни плану й бюджету не збережено. Зберегти їх у Vimo.toml?</translation>
    </message>
    <message>
        <source>Показан Vimo.toml, изменённый вне окна.</source>
        <translation>Показано Vimo.toml, змінений поза вікном.</translation>
    </message>
    <message>
        <source>Vimo.toml изменён вне окна; ваши правки не сохранены. «Перечитать» покажет файл.</source>
        <translation>Vimo.toml змінено поза вікном; ваші правки не збережено. «Перечитати» покаже файл.</translation>
    </message>
    <message>
        <source>дни</source>
        <translation>дні</translation>
    </message>
    <message>
        <source>Правило %1, %2: %3</source>
        <translation>Правило %1, %2: %3</translation>
    </message>
    <message>
        <source>Правило %1: %2</source>
        <translation>Правило %1: %2</translation>
    </message>
    <message>
        <source>Не сохраняется: %1</source>
        <translation>Не зберігається: %1</translation>
    </message>
    <message>
        <source>Сверка с оператором</source>
        <translation>Звірка з оператором</translation>
    </message>
    <message>
        <source>Сколько насчитал оператор за этот цикл (в личном кабинете или ответе на USSD): с этого момента цикл считается от его цифр.</source>
        <translation>Скільки нарахував оператор за цей цикл (в особистому кабінеті або у відповіді на USSD): відтепер цикл рахується від його цифр.</translation>
    </message>
    <message>
        <source>Деньги по сч&amp;ёту, коп.:</source>
        <translation>Гро&amp;ші, коп.:</translation>
    </message>
    <message>
        <source>не сверять</source>
        <translation>не звіряти</translation>
    </message>
    <message>
        <source>Минут&amp;ы:</source>
        <translation>Хвилин &amp;усього:</translation>
    </message>
    <message>
        <source>Мегаба&amp;йты:</source>
        <translation>&amp;Мегабайти:</translation>
    </message>
    <message>
        <source>Сверит&amp;ь</source>
        <translation>Прийн&amp;яти</translation>
    </message>
    <message>
        <source>Сверено %1 %2</source>
        <translation>Звірено %1 %2</translation>
    </message>
</context>
<context>
    <name>QtMessageBoxes</name>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Так</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Ні</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Попередження</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Інформація</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Підтвердження</translation>
    </message>
    <message>
        <source>&amp;Сохранить</source>
        <translation>Збере&amp;гти</translation>
    </message>
    <message>
        <source>&amp;Не сохранять</source>
        <translation>&amp;Не зберігати</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Скасувати</translation>
    </message>
</context>
<context>
    <name>Report</name>
    <message>
        <source>%1 МБ</source>
        <translation>%1 МБ</translation>
    </message>
    <message>
        <source>Дата: %1</source>
        <translation>Дата: %1</translation>
    </message>
    <message>
        <source>Сегодня: %1</source>
        <translation>Сьогодні: %1</translation>
    </message>
    <message>
        <source>Месяц с %1 по %2: %3</source>
        <translation>Місяць з %1 по %2: %3</translation>
    </message>
    <message>
        <source>Цикл с %1 по %2 (%3 дн., %4): %5</source>
        <translation>Цикл з %1 по %2 (%3 дн., %4): %5</translation>
    </message>
    <message>
        <source>Прогноз на цикл: %1</source>
        <translation>Прогноз на цикл: %1</translation>
    </message>
    <message>
        <source>Трафик, принято/отправлено: сегодня %1, месяц %2, цикл %3</source>
        <translation>Трафік, отримано/надіслано: сьогодні %1, місяць %2, цикл %3</translation>
    </message>
    <message>
        <source>Бюджет %1: израсходовано %2, в день можно %3</source>
        <translation>Бюджет %1: витрачено %2, на день можна %3</translation>
    </message>
    <message>
        <source>Оповещения в цикле:</source>
        <translation>Сповіщення в циклі:</translation>
    </message>
    <message>
        <source>время не читается</source>
        <translation>час не читається</translation>
    </message>
    <message>
        <source>Сеанс с %1: %2</source>
        <translation>Сеанс з %1: %2</translation>
    </message>
    <message>
        <source>Сеанс: %1</source>
        <translation>Сеанс: %1</translation>
    </message>
    <message>
        <source>, адрес %1</source>
        <translation>, адреса %1</translation>
    </message>
    <message>
        <source>, принято %1, отправлено %2</source>
        <translation>, отримано %1, надіслано %2</translation>
    </message>
    <message>
        <source> (остался от запуска, который завершился во время сеанса)</source>
        <translation> (залишився від запуску, що завершився посеред сеансу)</translation>
    </message>
    <message>
        <source>Бюджет превышен: %1 из %2</source>
        <translation>Бюджет перевищено: %1 з %2</translation>
    </message>
    <message>
        <source>Прогноз превышает бюджет: %1 из %2</source>
        <translation>Прогноз перевищує бюджет: %1 з %2</translation>
    </message>
</context>
<context>
    <name>ReportRange</name>
    <message>
        <source>Первая дата должна быть не больше второй</source>
        <translation>Перша дата має бути не пізніше другої</translation>
    </message>
</context>
<context>
    <name>SettingsPage</name>
    <message>
        <source>Запись соединений ведётся с</source>
        <translation>Запис зʼєднань ведеться з</translation>
    </message>
    <message>
        <source>Тариф</source>
        <translation>Тариф</translation>
    </message>
    <message>
        <source>Стоимость 1 минуты  : </source>
        <translation>Вартість 1 хвилини  : </translation>
    </message>
    <message>
        <source>коп.</source>
        <translation>коп.</translation>
    </message>
    <message>
        <source>Автозагрузка</source>
        <translation>Автозапуск</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Зберегти</translation>
    </message>
    <message>
        <source>Данные успешно сохранены</source>
        <translation>Дані успішно збережено</translation>
    </message>
</context>
<context>
    <name>StatisticsPage</name>
    <message>
        <source>Показать статистику соединений за : </source>
        <translation>Показати статистику зʼєднань за : </translation>
    </message>
    <message>
        <source>День</source>
        <translation>День</translation>
    </message>
    <message>
        <source>Месяц</source>
        <translation>Місяць</translation>
    </message>
    <message>
        <source>Период</source>
        <translation>Період</translation>
    </message>
    <message>
        <source>Выберите день : </source>
        <translation>Виберіть день : </translation>
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
        <translation>Виберіть місяць : </translation>
    </message>
    <message>
        <source>С</source>
        <translation>З</translation>
    </message>
    <message>
        <source>по</source>
        <translation>по</translation>
    </message>
    <message>
        <source>Статистика за :</source>
        <translation>Статистика за :</translation>
    </message>
    <message>
        <source>Сохранить ...</source>
        <translation>Зберегти ...</translation>
    </message>
    <message>
        <source>Запись статистики в файл</source>
        <translation>Запис статистики у файл</translation>
    </message>
    <message>
        <source>Текстовый файл (*.txt)</source>
        <translation>Текстовий файл (*.txt)</translation>
    </message>
    <message>
        <source>Статистика ведётся с %1</source>
        <translation>Статистика ведеться з %1</translation>
    </message>
    <message>
        <source>Выбранная вами дата ещё не наступила</source>
        <translation>Вибрана вами дата ще не настала</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Главная</source>
        <translation>Головна</translation>
    </message>
    <message>
        <source>Статистика</source>
        <translation>Статистика</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Параметри</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>Про програму</translation>
    </message>
    <message>
        <source>Обзор</source>
        <translation>Огляд</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Вихід</translation>
    </message>
    <message>
        <source>&amp;План и бюджет</source>
        <translation>&amp;План і бюджет</translation>
    </message>
    <message>
        <source>Нет области уведомлений: окно остаётся на экране.</source>
        <translation>Немає області сповіщень: вікно лишається на екрані.</translation>
    </message>
    <message>
        <source>Вы действительно хотите выключить программу ?</source>
        <translation>Ви справді хочете вимкнути програму?</translation>
    </message>
    <message>
        <source>Не отключать</source>
        <translation>Не розривати</translation>
    </message>
</context>
<context>
    <name>TMaskEdit</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>Ви&amp;різати</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Копіювати</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Вст&amp;авити</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Виділити все</translation>
    </message>
</context>
<context>
    <name>TrayTip</name>
    <message>
        <source>День : %1 (%2)
Мес.  : %3 (%4)</source>
        <translation>День : %1 (%2)
Міс.  : %3 (%4)</translation>
    </message>
</context>
</TS>
