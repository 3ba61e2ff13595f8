<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>This program was created by:
the M2Bus Service Tool team</source>
        <translation>Эту программу создала:
команда M2Bus Service Tool</translation>
    </message>
    <message>
        <source>E-Mail:
bus@example.org</source>
        <translation>Эл. почта:
bus@example.org</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Thanks to NMT keepers!</source>
        <translation>Спасибо друзьям NMT!</translation>
    </message>
</context>
<context>
    <name>Backup</name>
    <message>
        <source>"%1" is not a complete backup: %2.</source>
        <translation>"%1" — неполная резервная копия: %2.</translation>
    </message>
    <message>
        <source>%1 is missing</source>
        <translation>нет файла %1</translation>
    </message>
    <message>
        <source>it is not a folder</source>
        <translation>это не папка</translation>
    </message>
    <message>
        <source>"%1" is not a backup folder: %2.</source>
        <translation>"%1" — не папка резервной копии: %2.</translation>
    </message>
    <message>
        <source>%1 holds %2 bytes, not the %3 of a whole phonebook</source>
        <translation>в %1 %2 байт, а в полной телефонной книге %3</translation>
    </message>
    <message>
        <source>"%1" is not a complete backup. %2</source>
        <translation>"%1" — неполная резервная копия. %2</translation>
    </message>
    <message>
        <source>%1 is %2 × %3 pixels, not the %4 × %5 of the logo</source>
        <translation>%1 размером %2 × %3 точек, а логотип — %4 × %5</translation>
    </message>
    <message>
        <source>No backup was made. %1</source>
        <translation>Резервная копия не создана. %1</translation>
    </message>
    <message>
        <source>Cannot back up into "%1": %2.</source>
        <translation>Не удаётся сохранить резервную копию в "%1": %2.</translation>
    </message>
    <message>
        <source>Cannot save "%1": %2.</source>
        <translation>Не удаётся сохранить "%1": %2.</translation>
    </message>
    <message>
        <source>Cannot rename "%1" to "%2": %3.</source>
        <translation>Не удаётся переименовать "%1" в "%2": %3.</translation>
    </message>
    <message>
        <source>Reading version and serial number</source>
        <translation>Чтение версии и серийного номера</translation>
    </message>
    <message>
        <source>No backup was made: the handset did not tell its version and serial number.</source>
        <translation>Резервная копия не создана: телефон не сообщил версию и серийный номер.</translation>
    </message>
    <message>
        <source>Reading phonebook</source>
        <translation>Чтение телефонной книги</translation>
    </message>
    <message>
        <source>No backup was made: the handset did not answer for phonebook record %1 of %2.</source>
        <translation>Резервная копия не создана: телефон не ответил на запрос записи %1 из %2 телефонной книги.</translation>
    </message>
    <message>
        <source>Reading logo</source>
        <translation>Чтение логотипа</translation>
    </message>
    <message>
        <source>No backup was made: the handset did not answer for logo block %1 of %2.</source>
        <translation>Резервная копия не создана: телефон не ответил на запрос блока %1 из %2 логотипа.</translation>
    </message>
    <message>
        <source>Writing logo</source>
        <translation>Запись логотипа</translation>
    </message>
    <message>
        <source>The restore stopped at logo block %1 of %2: the handset did not answer. Its phonebook is as it was; its logo may be partly written.</source>
        <translation>Восстановление остановилось на блоке %1 из %2 логотипа: телефон не ответил. Телефонная книга в нём прежняя; логотип может быть записан частично.</translation>
    </message>
    <message>
        <source>Writing phonebook</source>
        <translation>Запись телефонной книги</translation>
    </message>
    <message>
        <source>The restore stopped at phonebook record %1 of %2: the handset did not answer. Its logo is restored; its phonebook may be partly written.</source>
        <translation>Восстановление остановилось на записи %1 из %2 телефонной книги: телефон не ответил. Логотип восстановлен; телефонная книга может быть записана частично.</translation>
    </message>
    <message>
        <source>Resetting handset</source>
        <translation>Перезапуск телефона</translation>
    </message>
    <message>
        <source>The phonebook and logo are written, but the handset did not answer the reset: switch it off and on again to take the phonebook in.</source>
        <translation>Телефонная книга и логотип записаны, но телефон не ответил на перезапуск: выключите и снова включите его, чтобы он принял телефонную книгу.</translation>
    </message>
    <message>
        <source>handset.txt has no serial number</source>
        <translation>в handset.txt нет серийного номера</translation>
    </message>
    <message>
        <source>handset.txt has no version</source>
        <translation>в handset.txt нет версии</translation>
    </message>
    <message>
        <source>handset.txt does not say whether the net monitor is on or off</source>
        <translation>в handset.txt не сказано, включён ли NetMonitor</translation>
    </message>
    <message>
        <source>Reading own and dialled numbers</source>
        <translation>Чтение своего и набранных номеров</translation>
    </message>
</context>
<context>
    <name>BackupProgressDialog</name>
    <message>
        <source>%v of %m</source>
        <translation>%v из %m</translation>
    </message>
</context>
<context>
    <name>BackupRunner</name>
    <message>
        <source>Back up handset into folder</source>
        <translation>Папка для резервной копии телефона</translation>
    </message>
    <message>
        <source>Back up handset</source>
        <translation>Резервная копия телефона</translation>
    </message>
    <message>
        <source>The handset was backed up into %1.</source>
        <translation>Резервная копия телефона сохранена в %1.</translation>
    </message>
    <message>
        <source>Restore handset from backup folder</source>
        <translation>Папка резервной копии для восстановления телефона</translation>
    </message>
    <message>
        <source>This backup is of the handset %1, and the handset on the cable is %2. Restore it onto this handset all the same?</source>
        <translation>Это резервная копия телефона %1, а к кабелю подключён телефон %2. Всё равно восстановить её на этот телефон?</translation>
    </message>
    <message>
        <source>Do You really want to write the phonebook and logo of this backup into Phone?</source>
        <translation>Вы действительно хотите записать телефонную книгу и логотип из этой копии в телефон?</translation>
    </message>
    <message>
        <source>Restore handset</source>
        <translation>Восстановление телефона</translation>
    </message>
    <message>
        <source>The handset was restored from %1.</source>
        <translation>Телефон восстановлен из %1.</translation>
    </message>
</context>
<context>
    <name>DialledNumbersDialog</name>
    <message>
        <source>Last dialled numbers</source>
        <translation>Последние набранные номера</translation>
    </message>
    <message>
        <source>Own number:</source>
        <translation>Свой номер:</translation>
    </message>
    <message>
        <source>Own number</source>
        <translation>Свой номер</translation>
    </message>
    <message>
        <source>Last dialled numbers, the latest first:</source>
        <translation>Последние набранные номера, сначала новые:</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>Взять</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Reading the numbers from the phone…</source>
        <translation>Чтение номеров из телефона…</translation>
    </message>
    <message>
        <source>not stored</source>
        <translation>не сохранён</translation>
    </message>
    <message>
        <source>The numbers could not be read from the phone.</source>
        <translation>Не удалось прочитать номера из телефона.</translation>
    </message>
</context>
<context>
    <name>DotMatrix</name>
    <message>
        <source>Dot matrix</source>
        <translation>Точечная матрица</translation>
    </message>
    <message>
        <source>%1 × %2 dots</source>
        <translation>%1 × %2 точек</translation>
    </message>
    <message>
        <source>Column %1, row %2, lit</source>
        <translation>Столбец %1, строка %2, светится</translation>
    </message>
    <message>
        <source>Column %1, row %2, unlit</source>
        <translation>Столбец %1, строка %2, не светится</translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>Invalid data type for '%1'</source>
        <translation>Недопустимый тип данных для '%1'</translation>
    </message>
    <message>
        <source>Unable to create %1</source>
        <translation>Не удаётся создать %1</translation>
    </message>
    <message>
        <source>Unable to write to %1: %2</source>
        <translation>Не удаётся записать в %1: %2</translation>
    </message>
    <message>
        <source>Unable to write to %1</source>
        <translation>Не удаётся записать в %1</translation>
    </message>
    <message>
        <source>String list does not allow duplicates</source>
        <translation>Список строк не допускает повторов</translation>
    </message>
    <message>
        <source>it cannot be read (%1)</source>
        <translation>его не удаётся прочитать (%1)</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Файловая система только для чтения</translation>
    </message>
    <message>
        <source>no temporary folder (%1)</source>
        <translation>нет временной папки (%1)</translation>
    </message>
    <message>
        <source>the temporary copy cannot be written (%1)</source>
        <translation>не удаётся записать временную копию (%1)</translation>
    </message>
    <message>
        <source>the temporary copy cannot be written</source>
        <translation>не удаётся записать временную копию</translation>
    </message>
    <message>
        <source>the temporary copy cannot be read back</source>
        <translation>не удаётся прочитать временную копию</translation>
    </message>
    <message>
        <source>the temporary copy was cut short</source>
        <translation>временная копия записана не полностью</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Файл не найден</translation>
    </message>
    <message>
        <source>File access denied</source>
        <translation>Доступ к файлу запрещён</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Диск заполнен</translation>
    </message>
    <message>
        <source>Invalid filename</source>
        <translation>Недопустимое имя файла</translation>
    </message>
    <message>
        <source>Cannot open "%1": %2.</source>
        <translation>Не удаётся открыть "%1": %2.</translation>
    </message>
    <message>
        <source>Cannot read "%1": a phonebook file ends in .npb, .csv or .vcf.</source>
        <translation>Не удаётся прочитать "%1": у файла телефонной книги расширение .npb, .csv или .vcf.</translation>
    </message>
    <message>
        <source>Cannot save "%1": a phonebook file ends in .npb, .csv or .vcf.</source>
        <translation>Не удаётся сохранить "%1": у файла телефонной книги расширение .npb, .csv или .vcf.</translation>
    </message>
    <message>
        <source>Unable to read %1: %2.</source>
        <translation>Не удаётся прочитать %1: %2.</translation>
    </message>
    <message>
        <source>Unable to write to %1: %2.</source>
        <translation>Не удаётся записать в %1: %2.</translation>
    </message>
    <message>
        <source>Line breaks are not allowed in the profile file: [%1] %2</source>
        <translation>В файле профилей не допускаются переводы строк: [%1] %2</translation>
    </message>
    <message>
        <source>Invalid section name in the profile file: "%1"</source>
        <translation>Недопустимое имя раздела в файле профилей: "%1"</translation>
    </message>
    <message>
        <source>Invalid key name in the profile file: "%1"</source>
        <translation>Недопустимое имя ключа в файле профилей: "%1"</translation>
    </message>
    <message>
        <source>Found error in codepage settings</source>
        <translation>Ошибка в настройках кодовых страниц</translation>
    </message>
    <message>
        <source>Invalid protocol</source>
        <translation>Недопустимый протокол</translation>
    </message>
    <message>
        <source>Proxy authentication: %1</source>
        <translation>Вход на прокси-сервер: %1</translation>
    </message>
    <message>
        <source>Authentication: %1</source>
        <translation>Вход на сервер: %1</translation>
    </message>
    <message>
        <source>A request is already running.</source>
        <translation>Запрос уже выполняется.</translation>
    </message>
    <message>
        <source>The gateway did not answer within %1.</source>
        <translation>Шлюз не ответил за %1.</translation>
    </message>
    <message>
        <source>The gateway's reply was larger than %1.</source>
        <translation>Ответ шлюза превысил %1.</translation>
    </message>
    <message>
        <source>The request was cancelled.</source>
        <translation>Запрос отменён.</translation>
    </message>
    <message>
        <source>%1 second</source>
        <translation>%1 с</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 с</translation>
    </message>
    <message>
        <source>%1 MiB</source>
        <translation>%1 МиБ</translation>
    </message>
    <message>
        <source>%1 KiB</source>
        <translation>%1 КиБ</translation>
    </message>
    <message>
        <source>%1 byte</source>
        <translation>%1 байт</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 байт</translation>
    </message>
    <message>
        <source>Can't perform this operation when port is open</source>
        <translation>Невозможно выполнить эту операцию при открытом порте</translation>
    </message>
    <message>
        <source>Invalid port number (COM%1)</source>
        <translation>Неверный номер порта (COM%1)</translation>
    </message>
    <message>
        <source>Can't open device COM%1</source>
        <translation>Не удаётся открыть устройство COM%1</translation>
    </message>
    <message>
        <source> Error setting EventMask (%d), %s</source>
        <translation> Ошибка установки EventMask (%d), %s</translation>
    </message>
    <message>
        <source>Error clearing buffers (%d), %s</source>
        <translation>Ошибка очистки буферов (%d), %s</translation>
    </message>
    <message>
        <source>Error setting timeouts (%d), %s</source>
        <translation>Ошибка установки тайм-аутов (%d), %s</translation>
    </message>
    <message>
        <source>Error initializing buffers (%d), %s</source>
        <translation>Ошибка инициализации буферов (%d), %s</translation>
    </message>
    <message>
        <source>Error reading dcb (%d), %s</source>
        <translation>Ошибка чтения dcb (%d), %s</translation>
    </message>
    <message>
        <source>Error writing dcb (%d), %s</source>
        <translation>Ошибка записи dcb (%d), %s</translation>
    </message>
    <message>
        <source>Write error (%d), %s</source>
        <translation>Ошибка записи (%d), %s</translation>
    </message>
    <message>
        <source>Read error (%d), %s</source>
        <translation>Ошибка чтения (%d), %s</translation>
    </message>
    <message>
        <source>Error retrieving statistics (%d), %s</source>
        <translation>Ошибка получения статистики (%d), %s</translation>
    </message>
    <message>
        <source>nothing reads this named pipe</source>
        <translation>этот именованный канал никто не читает</translation>
    </message>
    <message>
        <source>The gateway did not complete its reply within %1.</source>
        <translation>Шлюз не завершил ответ за %1.</translation>
    </message>
    <message>
        <source>The gateway's reply could not be read: one of its header lines is longer than %1.</source>
        <translation>Не удаётся прочитать ответ шлюза: одна из строк его заголовка длиннее %1.</translation>
    </message>
</context>
<context>
    <name>Files</name>
    <message>
        <source>it is a folder</source>
        <translation>это папка</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>файл не существует</translation>
    </message>
    <message>
        <source>the folder does not exist</source>
        <translation>папка не существует</translation>
    </message>
    <message>
        <source>access is denied</source>
        <translation>доступ запрещён</translation>
    </message>
    <message>
        <source>the file system is read-only</source>
        <translation>файловая система доступна только для чтения</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>диск заполнен</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>это не обычный файл</translation>
    </message>
    <message>
        <source>the name is not valid</source>
        <translation>недопустимое имя</translation>
    </message>
    <message>
        <source>the device reported an input/output error</source>
        <translation>устройство сообщило об ошибке ввода-вывода</translation>
    </message>
    <message>
        <source>it is a named pipe, not a file</source>
        <translation>это именованный канал, а не файл</translation>
    </message>
    <message>
        <source>it is a device, not a file</source>
        <translation>это устройство, а не файл</translation>
    </message>
    <message>
        <source>it is a socket, not a file</source>
        <translation>это сокет, а не файл</translation>
    </message>
    <message>
        <source>an unknown error occurred</source>
        <translation>произошла неизвестная ошибка</translation>
    </message>
</context>
<context>
    <name>Led</name>
    <message>
        <source>On</source>
        <translation>Включён</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выключен</translation>
    </message>
</context>
<context>
    <name>Link</name>
    <message>
        <source>Invalid port number Com%1</source>
        <translation>Неверный номер порта Com%1</translation>
    </message>
    <message>
        <source>No answer from phone!  Please, check cable connection!</source>
        <translation>Нет ответа от телефона!  Проверьте подключение кабеля!</translation>
    </message>
</context>
<context>
    <name>Logo</name>
    <message>
        <source>Cannot save "%1": %2.</source>
        <translation>Не удаётся сохранить "%1": %2.</translation>
    </message>
    <message>
        <source>Cannot save "%1": %2.%3</source>
        <translation>Не удаётся сохранить "%1": %2.%3</translation>
    </message>
    <message>
        <source> The earlier file is unchanged.</source>
        <translation> Прежний файл не изменён.</translation>
    </message>
    <message>
        <source>Cannot read the picture "%1": %2.</source>
        <translation>Не удаётся прочитать рисунок "%1": %2.</translation>
    </message>
    <message>
        <source>the file ends before the picture does</source>
        <translation>файл кончается раньше рисунка</translation>
    </message>
    <message>
        <source>the file is larger than %1 MB</source>
        <translation>файл больше %1 МБ</translation>
    </message>
    <message>
        <source>All pictures (%1);;Windows Bitmap (*.bmp);;All files (*)</source>
        <translation>Все рисунки (%1);;Точечный рисунок Windows (*.bmp);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Windows Bitmap (*.bmp);;PNG picture (*.png);;All files (*)</source>
        <translation>Точечный рисунок Windows (*.bmp);;Рисунок PNG (*.png);;Все файлы (*)</translation>
    </message>
    <message>
        <source>it is %1 × %2 pixels and would take %3 MB to load, more than the %4 MB a picture may take</source>
        <translation>в нём %1 × %2 пикселей, для загрузки нужно %3 МБ, а рисунку отводится не больше %4 МБ</translation>
    </message>
    <message>
        <source>it is %1 × %2 pixels, and no side may be longer than %3 pixels</source>
        <translation>в нём %1 × %2 пикселей, а сторона рисунка может быть не длиннее %3 пикселей</translation>
    </message>
    <message>
        <source>the picture in it is damaged (%1)</source>
        <translation>рисунок в нём повреждён (%1)</translation>
    </message>
</context>
<context>
    <name>LogoImportDialog</name>
    <message>
        <source>Import Picture</source>
        <translation>Импорт картинки</translation>
    </message>
    <message>
        <source>Logo, 84 × 48 dots</source>
        <translation>Логотип, 84 × 48 точек</translation>
    </message>
    <message>
        <source>&amp;Mode:</source>
        <translation>&amp;Режим:</translation>
    </message>
    <message>
        <source>As drawn</source>
        <translation>Как нарисовано</translation>
    </message>
    <message>
        <source>Fit</source>
        <translation>Вписать</translation>
    </message>
    <message>
        <source>Fill</source>
        <translation>Заполнить</translation>
    </message>
    <message>
        <source>&amp;Threshold:</source>
        <translation>&amp;Порог:</translation>
    </message>
    <message>
        <source>&amp;Auto</source>
        <translation>&amp;Авто</translation>
    </message>
    <message>
        <source>&amp;Dithering:</source>
        <translation>&amp;Растр:</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Floyd–Steinberg</source>
        <translation>Флойд–Стейнберг</translation>
    </message>
    <message>
        <source>Bayer 4 × 4</source>
        <translation>Байер 4 × 4</translation>
    </message>
    <message>
        <source>Bayer 8 × 8</source>
        <translation>Байер 8 × 8</translation>
    </message>
    <message>
        <source>&amp;Brightness:</source>
        <translation>&amp;Яркость:</translation>
    </message>
    <message>
        <source>&amp;Invert</source>
        <translation>&amp;Инверсия</translation>
    </message>
    <message>
        <source>&amp;Contrast:</source>
        <translation>&amp;Контраст:</translation>
    </message>
    <message>
        <source>Picture, %1 × %2 pixels</source>
        <translation>Картинка, %1 × %2 пикселей</translation>
    </message>
</context>
<context>
    <name>LogoToolRow</name>
    <message>
        <source>Pen: click toggles a dot, drag with the left button sets dots, with the right clears them</source>
        <translation>Перо: щелчок переключает точку, левая кнопка ставит точки, правая стирает</translation>
    </message>
    <message>
        <source>Line (right button clears)</source>
        <translation>Линия (правая кнопка стирает)</translation>
    </message>
    <message>
        <source>Rectangle (right button clears)</source>
        <translation>Прямоугольник (правая кнопка стирает)</translation>
    </message>
    <message>
        <source>Fill an area (right button clears)</source>
        <translation>Заливка области (правая кнопка стирает)</translation>
    </message>
    <message>
        <source>Text: click where it starts (right button clears)</source>
        <translation>Текст: щёлкните, где он начинается (правая кнопка стирает)</translation>
    </message>
    <message>
        <source>The text the text tool writes</source>
        <translation>Текст, который пишет инструмент «Текст»</translation>
    </message>
    <message>
        <source>Invert</source>
        <translation>Инвертировать</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Shift left</source>
        <translation>Сдвиг влево</translation>
    </message>
    <message>
        <source>Shift right</source>
        <translation>Сдвиг вправо</translation>
    </message>
    <message>
        <source>Shift up</source>
        <translation>Сдвиг вверх</translation>
    </message>
    <message>
        <source>Shift down</source>
        <translation>Сдвиг вниз</translation>
    </message>
    <message>
        <source>Flip horizontally</source>
        <translation>Отразить по горизонтали</translation>
    </message>
    <message>
        <source>Flip vertically</source>
        <translation>Отразить по вертикали</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Redo (%1)</source>
        <translation>Повторить (%1)</translation>
    </message>
</context>
<context>
    <name>LogoWindow</name>
    <message>
        <source>Logo manager</source>
        <translation>Управление логотипом</translation>
    </message>
    <message>
        <source>Load from phone</source>
        <translation>Из телефона</translation>
    </message>
    <message>
        <source>Save as Bitmap</source>
        <translation>Сохранить как BMP</translation>
    </message>
    <message>
        <source>Upload to phone</source>
        <translation>В телефон</translation>
    </message>
    <message>
        <source>Load Bitmap</source>
        <translation>Загрузить рисунок</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Правка</translation>
    </message>
    <message>
        <source>There is no picture to save yet: load the logo from the phone, load a bitmap or draw one first.</source>
        <translation>Сохранять пока нечего: сначала загрузите логотип из телефона, загрузите рисунок или нарисуйте его.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Nokia 640/650 M2Bus Service Tool</source>
        <translation>Nokia 640/650 M2Bus Service Tool</translation>
    </message>
    <message>
        <source>Serial Num.</source>
        <translation>Сер. номер.</translation>
    </message>
    <message>
        <source>M2Bus port</source>
        <translation>Порт M2Bus</translation>
    </message>
    <message>
        <source>ACK</source>
        <translation>ACK</translation>
    </message>
    <message>
        <source>PACK</source>
        <translation>PACK</translation>
    </message>
    <message>
        <source>Connect to Phone</source>
        <translation>Подключиться</translation>
    </message>
    <message>
        <source>NetMonitor On</source>
        <translation>NetMonitor вкл.</translation>
    </message>
    <message>
        <source>NetMonitor Off</source>
        <translation>NetMonitor выкл.</translation>
    </message>
    <message>
        <source>Software reset</source>
        <translation>Перезапуск</translation>
    </message>
    <message>
        <source>PhoneBook</source>
        <translation>Телефонная книга</translation>
    </message>
    <message>
        <source>Internet SMS</source>
        <translation>Интернет-SMS</translation>
    </message>
    <message>
        <source>Startup Logo</source>
        <translation>Логотип</translation>
    </message>
    <message>
        <source>NetMonitor status</source>
        <translation>Статус NetMonitor</translation>
    </message>
    <message>
        <source>Version INFO</source>
        <translation>Версия</translation>
    </message>
    <message>
        <source>Stop logging</source>
        <translation>Остановить запись кадров</translation>
    </message>
    <message>
        <source>Log frames to a file…</source>
        <translation>Записывать кадры в файл…</translation>
    </message>
    <message>
        <source>Log frames to a file</source>
        <translation>Запись кадров в файл</translation>
    </message>
    <message>
        <source>Log files (*.log);;All files (*)</source>
        <translation>Файлы журнала (*.log);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Cannot log frames to %1: %2</source>
        <translation>Не удаётся записывать кадры в %1: %2</translation>
    </message>
    <message>
        <source>The settings file %1 is not used: %2. The program starts with default settings and will not save them.</source>
        <translation>Файл настроек %1 не используется: %2. Программа запускается с настройками по умолчанию и не сохранит их.</translation>
    </message>
    <message>
        <source>Back up handset…</source>
        <translation>Резервная копия телефона…</translation>
    </message>
    <message>
        <source>Restore handset…</source>
        <translation>Восстановить телефон из копии…</translation>
    </message>
    <message>
        <source>Last dialled numbers…</source>
        <translation>Последние набранные номера…</translation>
    </message>
    <message>
        <source>Link lights</source>
        <translation>Индикаторы связи</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Shows the program's version, licence and authors</source>
        <translation>Показывает версию программы, лицензию и авторов</translation>
    </message>
    <message>
        <source>About this program</source>
        <translation>О программе</translation>
    </message>
</context>
<context>
    <name>OperatorDialog</name>
    <message>
        <source>Operator settings</source>
        <translation>Настройки оператора</translation>
    </message>
    <message>
        <source>Operator Name</source>
        <translation>Имя оператора</translation>
    </message>
    <message>
        <source>URL                 http://</source>
        <translation>URL                 http://</translation>
    </message>
    <message>
        <source>Number Field Name</source>
        <translation>Имя поля номера</translation>
    </message>
    <message>
        <source>Prefix</source>
        <translation>Код</translation>
    </message>
    <message>
        <source>Text Field Name</source>
        <translation>Имя поля текста</translation>
    </message>
    <message>
        <source>Method</source>
        <translation>Метод</translation>
    </message>
    <message>
        <source>Submit name</source>
        <translation>Имя кнопки отправки</translation>
    </message>
    <message>
        <source>Submit value</source>
        <translation>Значение кнопки</translation>
    </message>
    <message>
        <source>Additional fields</source>
        <translation>Доп. поля</translation>
    </message>
    <message>
        <source>Reply string</source>
        <translation>Ответ</translation>
    </message>
    <message>
        <source>Referer</source>
        <translation>Referer</translation>
    </message>
    <message>
        <source>Login (optional)</source>
        <translation>Логин (необязательно)</translation>
    </message>
    <message>
        <source>Password (optional)</source>
        <translation>Пароль (необязательно)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>Phonebook</name>
    <message>
        <source>characters the handset cannot store: %1</source>
        <translation>символы, которые телефон не может сохранить: %1</translation>
    </message>
    <message>
        <source>number characters that become blanks: %1</source>
        <translation>символы номера, которые станут пробелами: %1</translation>
    </message>
    <message>
        <source>name cut after %1 characters, "%2" is lost</source>
        <translation>имя обрезано после %1 символов, "%2" потеряно</translation>
    </message>
    <message>
        <source>number cut after %1 digits, "%2" is lost</source>
        <translation>номер обрезан после %1 цифр, "%2" потеряно</translation>
    </message>
    <message>
        <source>… and %1 more records</source>
        <translation>… и ещё записей: %1</translation>
    </message>
    <message>
        <source>a quoted field is not closed</source>
        <translation>не закрыто поле в кавычках</translation>
    </message>
    <message>
        <source>the header row "location,name,number" is missing</source>
        <translation>нет строки заголовка "location,name,number"</translation>
    </message>
    <message>
        <source>Cannot read "%1": the file ends after %2 of the %3 records.</source>
        <translation>Не удаётся прочитать "%1": файл кончается после %2 из %3 записей.</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>строка %1: %2</translation>
    </message>
    <message>
        <source>line %1: location "%2" is not between 1 and %3</source>
        <translation>строка %1: ячейка "%2" не в пределах от 1 до %3</translation>
    </message>
    <message>
        <source>line %1: location %2 is already taken by line %3</source>
        <translation>строка %1: ячейка %2 уже занята строкой %3</translation>
    </message>
    <message>
        <source>line %1: no free location left, "%2" is left out</source>
        <translation>строка %1: свободных ячеек не осталось, "%2" пропущено</translation>
    </message>
    <message>
        <source>; placed at location %1</source>
        <translation>; помещено в ячейку %1</translation>
    </message>
    <message>
        <source>the file is not UTF-8; it was read as Windows-1251</source>
        <translation>файл не в UTF-8, он прочитан как Windows-1251</translation>
    </message>
    <message>
        <source>Cannot read "%1": %2.</source>
        <translation>Не удаётся прочитать "%1": %2.</translation>
    </message>
    <message>
        <source>Cannot read "%1": it is larger than %2 MB, too large for a phonebook.</source>
        <translation>Не удаётся прочитать "%1": файл больше %2 МБ, это слишком много для телефонной книги.</translation>
    </message>
    <message>
        <source>Cannot save "%1": %2.</source>
        <translation>Не удаётся сохранить "%1": %2.</translation>
    </message>
    <message>
        <source>Cannot read "%1", line %2: %3.</source>
        <translation>Не удаётся прочитать "%1", строка %2: %3.</translation>
    </message>
    <message>
        <source>text that is not UTF-8 was read as Windows-1251</source>
        <translation>текст не в UTF-8 прочитан как Windows-1251</translation>
    </message>
    <message>
        <source>END:VCARD without BEGIN:VCARD</source>
        <translation>END:VCARD без BEGIN:VCARD</translation>
    </message>
    <message>
        <source>line %1: a card without name or number is left out</source>
        <translation>строка %1: карточка без имени и номера пропущена</translation>
    </message>
    <message>
        <source>the card has no END:VCARD</source>
        <translation>в карточке нет END:VCARD</translation>
    </message>
    <message>
        <source>no BEGIN:VCARD, this is not a vCard file</source>
        <translation>нет BEGIN:VCARD, это не файл vCard</translation>
    </message>
    <message>
        <source>line %1: "%2" holds no digit and is not taken as a number</source>
        <translation>строка %1: в "%2" нет ни одной цифры, это не номер</translation>
    </message>
    <message>
        <source>line %1: number "%2" becomes %3</source>
        <translation>строка %1: номер "%2" записывается как %3</translation>
    </message>
    <message>
        <source>%1 more</source>
        <translation>ещё %1</translation>
    </message>
    <message>
        <source>line %1: the handset keeps one number of "%2", %3; left out: %4</source>
        <translation>строка %1: телефон хранит один номер "%2", %3; пропущены: %4</translation>
    </message>
    <message>
        <source>letters stored as the nearest the handset has: %1</source>
        <translation>буквы, записанные ближайшими из тех, что есть в телефоне: %1</translation>
    </message>
    <message>
        <source>the first row must be the header "location,name,number", or that of a Google or Outlook contacts export</source>
        <translation>первой строкой должен быть заголовок "location,name,number" или заголовок контактов, выгруженных из Google или Outlook</translation>
    </message>
    <message>
        <source>Cannot read "%1": there is no record in it%2.</source>
        <translation>Не удаётся прочитать "%1": в нём нет ни одной записи%2.</translation>
    </message>
    <message>
        <source>cards nested more than %1 deep</source>
        <translation>карточки вложены глубже %1 уровней</translation>
    </message>
</context>
<context>
    <name>PhonebookModel</name>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Телефон</translation>
    </message>
    <message>
        <source>Not yet written to the phone</source>
        <translation>Ещё не записано в телефон</translation>
    </message>
</context>
<context>
    <name>PhonebookWindow</name>
    <message>
        <source>Phonebook</source>
        <translation>Телефонная книга</translation>
    </message>
    <message>
        <source>Read from Phone</source>
        <translation>Из телефона</translation>
    </message>
    <message>
        <source>Write All to Phone</source>
        <translation>Всё в телефон</translation>
    </message>
    <message>
        <source>Save to File</source>
        <translation>Сохранить в файл</translation>
    </message>
    <message>
        <source>Load from file</source>
        <translation>Открыть файл</translation>
    </message>
    <message>
        <source>Please, select required record, then click right mouse button for editing
or updating of selected record.</source>
        <translation>Выберите нужную запись и щёлкните по ней правой кнопкой мыши,
чтобы изменить её или обновить в телефоне.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Update record in Phone</source>
        <translation>Обновить запись в телефоне</translation>
    </message>
    <message>
        <source>Edit record</source>
        <translation>Изменить запись</translation>
    </message>
    <message>
        <source>Delete record</source>
        <translation>Удалить запись</translation>
    </message>
    <message>
        <source>Nokia PhoneBook file (*.npb);;All files (*)</source>
        <translation>Файл телефонной книги Nokia (*.npb);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Do You really want to write current phonebook into Phone?</source>
        <translation>Вы действительно хотите записать текущую телефонную книгу в телефон?</translation>
    </message>
    <message>
        <source>Save phonebook</source>
        <translation>Сохранить телефонную книгу</translation>
    </message>
    <message>
        <source>Load phonebook</source>
        <translation>Загрузить телефонную книгу</translation>
    </message>
    <message>
        <source>Read beyond end of file</source>
        <translation>Чтение за концом файла</translation>
    </message>
    <message>
        <source>Do you really want to update record #%1 in Phone?</source>
        <translation>Вы действительно хотите обновить запись №%1 в телефоне?</translation>
    </message>
    <message>
        <source>Edit Record #%1</source>
        <translation>Изменение записи №%1</translation>
    </message>
    <message>
        <source>Do You really want to delete record?</source>
        <translation>Вы действительно хотите удалить запись?</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Импорт…</translation>
    </message>
    <message>
        <source>Ctrl+I</source>
        <translation>Ctrl+I</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Экспорт…</translation>
    </message>
    <message>
        <source>Ctrl+Shift+E</source>
        <translation>Ctrl+Shift+E</translation>
    </message>
    <message>
        <source>The handset will not keep these records as they are:

%1

Go on all the same?</source>
        <translation>Телефон не сохранит эти записи в таком виде:

%1

Всё равно продолжить?</translation>
    </message>
    <message>
        <source>Phonebook files (*.csv *.vcf *.vcard *.npb);;CSV files (*.csv);;vCard files (*.vcf *.vcard);;Nokia PhoneBook file (*.npb);;All files (*)</source>
        <translation>Файлы телефонной книги (*.csv *.vcf *.vcard *.npb);;Файлы CSV (*.csv);;Файлы vCard (*.vcf *.vcard);;Файл телефонной книги Nokia (*.npb);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Import phonebook</source>
        <translation>Импорт телефонной книги</translation>
    </message>
    <message numerus="yes">
        <source>Replace records 1 to %1 with the %n record(s) of "%2"?</source>
        <translation>
            <numerusform>Заменить записи с 1 по %1 на %n запись из «%2»?</numerusform>
            <numerusform>Заменить записи с 1 по %1 на %n записи из «%2»?</numerusform>
            <numerusform>Заменить записи с 1 по %1 на %n записей из «%2»?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>… and %n more</source>
        <translation>
            <numerusform>… и ещё %n запись</numerusform>
            <numerusform>… и ещё %n записи</numerusform>
            <numerusform>… и ещё %n записей</numerusform>
        </translation>
    </message>
    <message>
        <source>CSV files (*.csv);;vCard files (*.vcf);;Nokia PhoneBook file (*.npb)</source>
        <translation>Файлы CSV (*.csv);;Файлы vCard (*.vcf);;Файл телефонной книги Nokia (*.npb)</translation>
    </message>
    <message>
        <source>Export phonebook</source>
        <translation>Экспорт телефонной книги</translation>
    </message>
    <message>
        <source>Write changes to Phone</source>
        <translation>Записать изменения в телефон</translation>
    </message>
    <message>
        <source>The phone holds every record as the list shows it: there is nothing to write.</source>
        <translation>Телефон хранит все записи так, как они показаны в списке: записывать нечего.</translation>
    </message>
    <message numerus="yes">
        <source>Do You really want to write the %n changed record(s) into Phone?</source>
        <translation>
            <numerusform>Вы действительно хотите записать в телефон %n изменённую запись?</numerusform>
            <numerusform>Вы действительно хотите записать в телефон %n изменённые записи?</numerusform>
            <numerusform>Вы действительно хотите записать в телефон %n изменённых записей?</numerusform>
        </translation>
    </message>
    <message>
        <source>The phone on the cable is not the one whose phonebook was read: its serial number is %1, not %2. Nothing was written. Read the phonebook from this phone first, or use "Write All to Phone".</source>
        <translation>К кабелю подключён не тот телефон, чья телефонная книга была прочитана: его серийный номер %1, а не %2. Ничего не записано. Сначала прочитайте телефонную книгу этого телефона или нажмите «Всё в телефон».</translation>
    </message>
    <message>
        <source>Write only the records marked • to the phone, then reset it</source>
        <translation>Записать в телефон только записи, отмеченные •, затем перезапустить его</translation>
    </message>
    <message>
        <source>Read the phonebook from the phone first</source>
        <translation>Сначала прочитайте телефонную книгу из телефона</translation>
    </message>
    <message>
        <source>Number from last dialled…</source>
        <translation>Номер из последних набранных…</translation>
    </message>
    <message>
        <source>Phonebook records</source>
        <translation>Записи телефонной книги</translation>
    </message>
</context>
<context>
    <name>PortChoice</name>
    <message>
        <source>The serial port %1 does not exist (is the cable plugged in?)</source>
        <translation>Последовательный порт %1 не найден (подключён ли кабель?)</translation>
    </message>
    <message>
        <source>No permission to open %1: add yourself to the dialout group (sudo usermod -aG dialout $USER) and log in again</source>
        <translation>Нет прав на открытие %1: добавьте себя в группу dialout (sudo usermod -aG dialout $USER) и войдите в систему заново</translation>
    </message>
    <message>
        <source>The serial port %1 is in use by another program</source>
        <translation>Последовательный порт %1 занят другой программой</translation>
    </message>
    <message>
        <source>Cannot open the serial port %1: %2</source>
        <translation>Не удаётся открыть последовательный порт %1: %2</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>User name:</source>
        <translation>Имя пользователя:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Пароль:</translation>
    </message>
</context>
<context>
    <name>RecordEditor</name>
    <message>
        <source>Edit record</source>
        <translation>Изменить запись</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Номер</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>SerialLinkPort</name>
    <message>
        <source>Cannot open the serial port %1</source>
        <translation>Не удаётся открыть последовательный порт %1</translation>
    </message>
</context>
<context>
    <name>SmsWindow</name>
    <message>
        <source>Send SMS</source>
        <translation>Отправка SMS</translation>
    </message>
    <message>
        <source>Phone number</source>
        <translation>Телефон</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Оператор</translation>
    </message>
    <message>
        <source>Message (&lt;160 symbols)</source>
        <translation>Сообщение (&lt;160 символов)</translation>
    </message>
    <message>
        <source>Get from PBook</source>
        <translation>Из тел. книги</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Отправить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Правка</translation>
    </message>
    <message>
        <source>Add operator</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Delete operator</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Debug</source>
        <translation>Отладка</translation>
    </message>
    <message>
        <source>Do You really want to delete operator "%1"?</source>
        <translation>Вы действительно хотите удалить оператора "%1"?</translation>
    </message>
    <message>
        <source>These characters cannot be sent and will go out as "?": %1
Send the message anyway?</source>
        <translation>Эти символы отправить нельзя, вместо них уйдёт "?": %1
Всё равно отправить сообщение?</translation>
    </message>
    <message>
        <source>Your message was sent succesfully!</source>
        <translation>Ваше сообщение успешно отправлено!</translation>
    </message>
    <message>
        <source>Number prefix</source>
        <translation>Префикс номера</translation>
    </message>
</context>
<context>
    <name>TransferGate</name>
    <message>
        <source>A transfer with the phone is running</source>
        <translation>Идёт обмен данными с телефоном</translation>
    </message>
    <message>
        <source>%1 — Waiting for the phone…</source>
        <translation>%1 — Ожидание телефона…</translation>
    </message>
</context>
<context>
    <name>WindowPlacement</name>
    <message>
        <source>Damaged entries in the settings file %1 could not be kept and were dropped.</source>
        <translation>Повреждённые записи в файле настроек %1 не удалось сохранить, они удалены.</translation>
    </message>
</context>
</TS>
