<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>AddTimeDialog</name>
    <message>
        <source>Edit Added Time</source>
        <translation>Modifier le temps ajouté</translation>
    </message>
    <message>
        <source>Add Time</source>
        <translation>Ajouter du temps</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Début</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Fin</translation>
    </message>
    <message>
        <source>Meeting, phone call, workshop…</source>
        <translation>Réunion, appel téléphonique, atelier…</translation>
    </message>
    <message>
        <source>No category</source>
        <translation>Aucune catégorie</translation>
    </message>
    <message>
        <source>Optional</source>
        <translation>Facultatif</translation>
    </message>
    <message>
        <source>From:</source>
        <translation>Du&#xa0;:</translation>
    </message>
    <message>
        <source>To:</source>
        <translation>Au&#xa0;:</translation>
    </message>
    <message>
        <source>What:</source>
        <translation>Activité&#xa0;:</translation>
    </message>
    <message>
        <source>Category:</source>
        <translation>Catégorie&#xa0;:</translation>
    </message>
    <message>
        <source>Note:</source>
        <translation>Note&#xa0;:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>The end must come after the start.</source>
        <translation>La fin doit être postérieure au début.</translation>
    </message>
    <message>
        <source>Say what the time was, or choose a category.</source>
        <translation>Indiquez à quoi ce temps a servi, ou choisissez une catégorie.</translation>
    </message>
    <message>
        <source>Added time is at most a week long.</source>
        <translation>Le temps ajouté ne peut pas dépasser une semaine.</translation>
    </message>
</context>
<context>
    <name>AtomicFile</name>
    <message>
        <source>cannot write &quot;%1&quot;: %2: %3</source>
        <translation>impossible d’écrire «&#xa0;%1&#xa0;»&#xa0;: %2&#xa0;: %3</translation>
    </message>
    <message>
        <source>invalid file name</source>
        <translation>nom de fichier non valide</translation>
    </message>
    <message>
        <source>cannot create a temporary file</source>
        <translation>impossible de créer un fichier temporaire</translation>
    </message>
    <message>
        <source>cannot set the file mode</source>
        <translation>impossible de définir les droits du fichier</translation>
    </message>
    <message>
        <source>write failed</source>
        <translation>échec de l’écriture</translation>
    </message>
    <message>
        <source>flushing to disk failed</source>
        <translation>échec de l’écriture sur le disque</translation>
    </message>
    <message>
        <source>closing failed</source>
        <translation>échec de la fermeture</translation>
    </message>
    <message>
        <source>cannot replace the file</source>
        <translation>impossible de remplacer le fichier</translation>
    </message>
    <message>
        <source>written, but cannot open its directory to sync it</source>
        <translation>écrit, mais impossible d’ouvrir son dossier pour l’enregistrer sur le disque</translation>
    </message>
    <message>
        <source>written, but syncing its directory failed</source>
        <translation>écrit, mais l’enregistrement de son dossier sur le disque a échoué</translation>
    </message>
    <message>
        <source>cannot create the folder &quot;%1&quot;: %2</source>
        <translation>impossible de créer le dossier «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>AwayNotifier</name>
    <message>
        <source>Answer…</source>
        <translation>Répondre…</translation>
    </message>
    <message>
        <source>Keep as Idle</source>
        <translation>Laisser en inactivité</translation>
    </message>
    <message>
        <source>What were you doing?</source>
        <translation>Que faisiez-vous&#x202f;?</translation>
    </message>
</context>
<context>
    <name>AwayQuestionWindow</name>
    <message>
        <source>What were you doing?</source>
        <translation>Que faisiez-vous&#x202f;?</translation>
    </message>
    <message>
        <source>Stretches of time away</source>
        <translation>Périodes d’absence</translation>
    </message>
    <message>
        <source>Meeting, phone call, lunch…</source>
        <translation>Réunion, appel, déjeuner…</translation>
    </message>
    <message>
        <source>What it was</source>
        <translation>Ce que c’était</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Catégorie</translation>
    </message>
    <message>
        <source>Keep as Idle</source>
        <translation>Laisser en inactivité</translation>
    </message>
    <message>
        <source>Book</source>
        <comment>button: book the time away as what was typed</comment>
        <translation>Imputer</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1&#xa0;min</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1&#xa0;h&#xa0;%2&#xa0;min</translation>
    </message>
    <message>
        <source>%1 h</source>
        <translation>%1&#xa0;h</translation>
    </message>
    <message>
        <source>Away from %1 to %2 (%3). What was it?</source>
        <translation>Absence de %1 à %2 (%3). Qu’est-ce que c’était&#x202f;?</translation>
    </message>
    <message>
        <source>Away from %1 to %2 (%3)</source>
        <translation>Absence de %1 à %2 (%3)</translation>
    </message>
    <message numerus="yes">
        <source>Away %n time(s) (%1 in all). What was it?</source>
        <translation>
            <numerusform>%n absence (%1 au total). Qu’est-ce que c’était&#x202f;?</numerusform>
            <numerusform>%n absences (%1 au total). Qu’est-ce que c’était&#x202f;?</numerusform>
        </translation>
    </message>
    <message>
        <source>No category</source>
        <translation>Aucune catégorie</translation>
    </message>
</context>
<context>
    <name>BusProbe</name>
    <message>
        <source>an address without a usable path</source>
        <translation>une adresse sans chemin utilisable</translation>
    </message>
    <message>
        <source>it closed the connection</source>
        <translation>il a fermé la connexion</translation>
    </message>
    <message>
        <source>it takes the connection but does not answer</source>
        <translation>il accepte la connexion mais ne répond pas</translation>
    </message>
    <message>
        <source>it refuses this user</source>
        <translation>il refuse cet utilisateur</translation>
    </message>
</context>
<context>
    <name>CategoriesFile</name>
    <message>
        <source>%1 line %2: %3</source>
        <translation>%1 ligne %2&#xa0;: %3</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Impossible de lire %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Cannot move the unreadable %1 aside to %2, so it is not overwritten</source>
        <translation>Le fichier illisible %1 ne peut pas être mis de côté sous %2&#x202f;; il n’est donc pas écrasé</translation>
    </message>
</context>
<context>
    <name>CategoriesWindow</name>
    <message>
        <source>application</source>
        <comment>a rule looks at the application</comment>
        <translation>application</translation>
    </message>
    <message>
        <source>window</source>
        <comment>a rule looks at the window title</comment>
        <translation>fenêtre</translation>
    </message>
    <message>
        <source>either</source>
        <comment>a rule looks at the application or the window title</comment>
        <translation>application ou fenêtre</translation>
    </message>
    <message>
        <source>contains</source>
        <comment>a rule&apos;s pattern is part of the name</comment>
        <translation>contient</translation>
    </message>
    <message>
        <source>is</source>
        <comment>a rule&apos;s pattern is the whole name</comment>
        <translation>est</translation>
    </message>
    <message>
        <source>regex</source>
        <comment>a rule&apos;s pattern is a regular expression</comment>
        <translation>expression régulière</translation>
    </message>
    <message>
        <source>Categories</source>
        <translation>Catégories</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Catégorie</translation>
    </message>
    <message>
        <source>Add Category…</source>
        <translation>Ajouter une catégorie…</translation>
    </message>
    <message>
        <source>Remove Category</source>
        <translation>Supprimer la catégorie</translation>
    </message>
    <message>
        <source>Colour…</source>
        <translation>Couleur…</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>Champ</translation>
    </message>
    <message>
        <source>Match</source>
        <translation>Correspondance</translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation>Motif</translation>
    </message>
    <message>
        <source>Case</source>
        <translation>Casse</translation>
    </message>
    <message>
        <source>Last 7 days</source>
        <translation>7 derniers jours</translation>
    </message>
    <message>
        <source>Problem</source>
        <translation>Problème</translation>
    </message>
    <message>
        <source>Rules, the first that matches decides</source>
        <translation>Règles, la première qui correspond l’emporte</translation>
    </message>
    <message>
        <source>Add Rule</source>
        <translation>Ajouter une règle</translation>
    </message>
    <message>
        <source>Remove Rule</source>
        <translation>Supprimer la règle</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Monter</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Descendre</translation>
    </message>
    <message>
        <source>Ctrl+Up</source>
        <translation>Ctrl+Flèche haut</translation>
    </message>
    <message>
        <source>Ctrl+Down</source>
        <translation>Ctrl+Flèche bas</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Application</translation>
    </message>
    <message>
        <source>Try an application</source>
        <translation>Essayer une application</translation>
    </message>
    <message>
        <source>Window or document</source>
        <translation>Fenêtre ou document</translation>
    </message>
    <message>
        <source>Try a window</source>
        <translation>Essayer une fenêtre</translation>
    </message>
    <message>
        <source>Try it:</source>
        <translation>Essayer&#xa0;:</translation>
    </message>
    <message>
        <source>Rules (the first that matches decides)</source>
        <translation>Règles (la première qui correspond l’emporte)</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importer…</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Exporter…</translation>
    </message>
    <message>
        <source>Remove Default Set</source>
        <translation>Supprimer l’ensemble par défaut</translation>
    </message>
    <message>
        <source>Add Category</source>
        <translation>Ajouter une catégorie</translation>
    </message>
    <message>
        <source>Path (for example &quot;Work ▸ Kestrum&quot; or Work/Kestrum):</source>
        <translation>Chemin (par exemple «&#xa0;Travail ▸ Kestrum&#xa0;» ou Travail/Kestrum)&#xa0;:</translation>
    </message>
    <message>
        <source>New Category</source>
        <translation>Nouvelle catégorie</translation>
    </message>
    <message>
        <source>The categories could not be saved: %1</source>
        <translation>Impossible d’enregistrer les catégories&#xa0;: %1</translation>
    </message>
    <message>
        <source>Import Categories</source>
        <translation>Importer des catégories</translation>
    </message>
    <message>
        <source>Categories (*.json)</source>
        <translation>Catégories (*.json)</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importer</translation>
    </message>
    <message>
        <source>%1 could not be imported: %2</source>
        <translation>Impossible d’importer %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Export Categories</source>
        <translation>Exporter les catégories</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exporter</translation>
    </message>
    <message>
        <source>The categories could not be exported: %1</source>
        <translation>Impossible d’exporter les catégories&#xa0;: %1</translation>
    </message>
    <message>
        <source>%1 changed on disk; Save replaces it with what is shown here.</source>
        <translation>%1 a été modifié sur le disque&#x202f;; «&#xa0;Enregistrer&#xa0;» le remplace par ce qui est affiché ici.</translation>
    </message>
    <message>
        <source>%1, colour %2</source>
        <translation>%1, couleur %2</translation>
    </message>
    <message>
        <source>chosen by Kestrum</source>
        <translation>choisie par Kestrum</translation>
    </message>
    <message>
        <source>(not a rule)</source>
        <translation>(pas une règle)</translation>
    </message>
    <message>
        <source>case-sensitive</source>
        <translation>sensible à la casse</translation>
    </message>
    <message>
        <source>A regular expression ran into the engine&apos;s limits on a name of the last seven days: there it counts as no match. The log names the rule.</source>
        <translation>Une expression régulière a atteint les limites du moteur sur un nom des sept derniers jours&#xa0;: elle y est considérée comme ne correspondant pas. Le journal indique la règle.</translation>
    </message>
    <message>
        <source>The time of the last seven days this rule decides</source>
        <translation>Le temps des sept derniers jours que cette règle attribue</translation>
    </message>
    <message>
        <source>%1 → %2 (a regular expression ran into the engine&apos;s limits on this name and counts as no match)</source>
        <translation>%1 → %2 (une expression régulière a atteint les limites du moteur sur ce nom et est considérée comme ne correspondant pas)</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>Colour of %1</source>
        <translation>Couleur de %1</translation>
    </message>
    <message>
        <source>Saved in %1.</source>
        <translation>Enregistré dans %1.</translation>
    </message>
    <message>
        <source>Imported %1; Save keeps it.</source>
        <translation>%1 importé&#x202f;; «&#xa0;Enregistrer&#xa0;» le conserve.</translation>
    </message>
</context>
<context>
    <name>CategorySet</name>
    <message>
        <source>&quot;%1&quot; or &quot;%2&quot;</source>
        <translation>&quot;%1&quot; ou &quot;%2&quot;</translation>
    </message>
    <message>
        <source>application contains &quot;%1&quot;</source>
        <translation>l’application contient «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>application is &quot;%1&quot;</source>
        <translation>l’application est «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>application matches &quot;%1&quot;</source>
        <translation>l’application correspond à «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>window contains &quot;%1&quot;</source>
        <translation>la fenêtre contient «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>window is &quot;%1&quot;</source>
        <translation>la fenêtre est «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>window matches &quot;%1&quot;</source>
        <translation>la fenêtre correspond à «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>either contains &quot;%1&quot;</source>
        <translation>l’application ou la fenêtre contient «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>either is &quot;%1&quot;</source>
        <translation>l’application ou la fenêtre est «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>either matches &quot;%1&quot;</source>
        <translation>l’application ou la fenêtre correspond à «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>%1 (case-sensitive)</source>
        <translation>%1 (sensible à la casse)</translation>
    </message>
    <message>
        <source>Development</source>
        <translation>Développement</translation>
    </message>
    <message>
        <source>Communication</source>
        <translation>Communication</translation>
    </message>
    <message>
        <source>Web</source>
        <translation>Web</translation>
    </message>
    <message>
        <source>Office</source>
        <translation>Bureautique</translation>
    </message>
    <message>
        <source>Media</source>
        <translation>Multimédia</translation>
    </message>
    <message>
        <source>this is not JSON (%1)</source>
        <translation>ce n’est pas du JSON (%1)</translation>
    </message>
    <message>
        <source>the file holds no object with &quot;version&quot;, &quot;categories&quot; and &quot;rules&quot;</source>
        <translation>le fichier ne contient aucun objet avec &quot;version&quot;, &quot;categories&quot; et &quot;rules&quot;</translation>
    </message>
    <message>
        <source>&quot;version&quot; must be a whole number from 1 on</source>
        <translation>&quot;version&quot; doit être un nombre entier à partir de 1</translation>
    </message>
    <message>
        <source>version %1 is newer than this Kestrum&apos;s %2: what it knows of is used</source>
        <translation>la version %1 est plus récente que celle de ce Kestrum (%2)&#xa0;: seul ce qu’il en connaît est utilisé</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a list</source>
        <translation>&quot;%1&quot; doit être une liste</translation>
    </message>
    <message>
        <source>category %1 has no &quot;path&quot; (a list of names)</source>
        <translation>la catégorie %1 n’a pas de &quot;path&quot; (une liste de noms)</translation>
    </message>
    <message>
        <source>category &quot;%1&quot; is listed twice: the first one is used</source>
        <translation>la catégorie «&#xa0;%1&#xa0;» figure deux fois&#xa0;: la première est utilisée</translation>
    </message>
    <message>
        <source>category &quot;%1&quot; has no colour of the form #rrggbb: one is chosen for it</source>
        <translation>la catégorie «&#xa0;%1&#xa0;» n’a pas de couleur de la forme #rrggbb&#xa0;: une couleur lui est attribuée</translation>
    </message>
    <message>
        <source>it is no object</source>
        <translation>ce n’est pas un objet</translation>
    </message>
    <message>
        <source>it has no &quot;category&quot; (a list of names)</source>
        <translation>elle n’a pas de &quot;category&quot; (une liste de noms)</translation>
    </message>
    <message>
        <source>its &quot;field&quot; must be %1</source>
        <translation>son &quot;field&quot; doit être %1</translation>
    </message>
    <message>
        <source>its &quot;match&quot; must be %1</source>
        <translation>son &quot;match&quot; doit être %1</translation>
    </message>
    <message>
        <source>it has no &quot;pattern&quot; (a text)</source>
        <translation>elle n’a pas de &quot;pattern&quot; (un texte)</translation>
    </message>
    <message>
        <source>its &quot;caseSensitive&quot; must be true or false</source>
        <translation>son &quot;caseSensitive&quot; doit valoir true ou false</translation>
    </message>
    <message>
        <source>rule %1 is not used: %2</source>
        <translation>la règle %1 n’est pas utilisée&#xa0;: %2</translation>
    </message>
    <message>
        <source>its category &quot;%1&quot; is not in the list of categories</source>
        <translation>sa catégorie «&#xa0;%1&#xa0;» ne figure pas dans la liste des catégories</translation>
    </message>
    <message>
        <source>its pattern is no regular expression: %1 at character %2</source>
        <translation>son motif n’est pas une expression régulière&#xa0;: %1 au caractère %2</translation>
    </message>
</context>
<context>
    <name>Classifier</name>
    <message>
        <source>Uncategorized</source>
        <translation>Sans catégorie</translation>
    </message>
    <message>
        <source>rule %1: %2</source>
        <translation>règle %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>assigned</source>
        <translation>attribué</translation>
    </message>
    <message>
        <source>no rule</source>
        <translation>aucune règle</translation>
    </message>
</context>
<context>
    <name>DayFile</name>
    <message>
        <source>not JSON (%1)</source>
        <translation>pas du JSON (%1)</translation>
    </message>
    <message>
        <source>not a JSON object</source>
        <translation>pas un objet JSON</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>ligne %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>the file ends in the middle of a line</source>
        <translation>le fichier se termine au milieu d’une ligne</translation>
    </message>
    <message>
        <source>format %1 is newer than this Kestrum reads (%2)</source>
        <translation>le format %1 est plus récent que ce que cette version de Kestrum sait lire (%2)</translation>
    </message>
    <message>
        <source>not the header of a day file (format, device and day)</source>
        <translation>pas un en-tête de fichier de jour (format, ordinateur et jour)</translation>
    </message>
    <message>
        <source>an assignment needs a start, an end after it and a category</source>
        <translation>une attribution doit avoir un début, une fin postérieure et une catégorie</translation>
    </message>
    <message>
        <source>a stretch needs a start, an end after it, its seconds, an application, a window or null and its source</source>
        <translation>une période doit avoir un début, une fin postérieure, ses secondes, une application, une fenêtre ou null, et sa source</translation>
    </message>
    <message>
        <source>a category is a list of names</source>
        <translation>une catégorie est une liste de noms</translation>
    </message>
    <message>
        <source>not a manifest (format, device and days)</source>
        <translation>pas un manifeste (format, ordinateur et jours)</translation>
    </message>
    <message>
        <source>the day &quot;%1&quot; has no checksum of the form sha256:…</source>
        <translation>le jour «&#xa0;%1&#xa0;» n’a pas de somme de contrôle de la forme sha256:…</translation>
    </message>
</context>
<context>
    <name>DayRange</name>
    <message>
        <source>%1 %2 is no day: days are written YYYY-MM-DD</source>
        <translation>%1 %2 n’est pas un jour&#xa0;: les jours s’écrivent AAAA-MM-JJ</translation>
    </message>
    <message>
        <source>%1 %2 is before the first day there is, 0001-01-01</source>
        <translation>%1 %2 précède le premier jour possible, 0001-01-01</translation>
    </message>
    <message>
        <source>%1 %2 is after the last day there is, 9999-12-31</source>
        <translation>%1 %2 dépasse le dernier jour possible, 9999-12-31</translation>
    </message>
    <message>
        <source>%1 %2 is no day: there is no month %3</source>
        <translation>%1 %2 n’est pas un jour&#xa0;: il n’y a pas de mois %3</translation>
    </message>
    <message>
        <source>en</source>
        <comment>the code of this translation&apos;s language (de, fr, ...): the month names are written in it</comment>
        <translation>fr</translation>
    </message>
    <message>
        <source>%1 %2 is no day: %3 %4 has %5 days</source>
        <translation>%1 %2 n’est pas un jour&#xa0;: %3 %4 compte %5 jours</translation>
    </message>
    <message>
        <source>%1 %2 is before %3 %4</source>
        <translation>%1 %2 précède %3 %4</translation>
    </message>
    <message>
        <source>%1 %2 is before the first day, today (%3): give %4 as well</source>
        <translation>%1 %2 précède le premier jour, aujourd’hui (%3)&#xa0;: indiquez aussi %4</translation>
    </message>
</context>
<context>
    <name>DesktopChoice</name>
    <message>
        <source>Windows cannot be watched: %1.</source>
        <translation>Impossible de suivre les fenêtres&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Window tracking on Wayland needs GNOME, KDE Plasma or a wlroots compositor such as sway; this compositor does not tell which application is in front, so Kestrum counts no windows.</source>
        <translation>Le suivi des fenêtres sous Wayland nécessite GNOME, KDE Plasma ou un compositeur wlroots comme sway&#x202f;; ce compositeur n’indique pas quelle application est au premier plan, Kestrum ne compte donc aucune fenêtre.</translation>
    </message>
    <message>
        <source>Window tracking needs an X11 display or a Wayland session.</source>
        <translation>Le suivi des fenêtres nécessite un affichage X11 ou une session Wayland.</translation>
    </message>
</context>
<context>
    <name>DeviceIdentity</name>
    <message>
        <source>Another computer shares its history as this one (device %1): this computer is a device of its own from now on, %2.</source>
        <translation>Un autre ordinateur partage son historique sous l’identifiant de cet ordinateur (%1)&#xa0;: cet ordinateur reçoit désormais son propre identifiant, %2.</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>impossible de lire %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>it has no version</source>
        <translation>aucune version indiquée</translation>
    </message>
    <message>
        <source>it holds no device id</source>
        <translation>aucun identifiant d’ordinateur</translation>
    </message>
    <message>
        <source>%1 cannot be read (%2) and cannot be moved aside</source>
        <translation>%1 est illisible (%2) et ne peut pas être mis de côté</translation>
    </message>
    <message>
        <source>This computer&apos;s device id could not be read from %1 (%2): it was moved to %3, and a new id taken.</source>
        <translation>L’identifiant de cet ordinateur n’a pas pu être lu dans %1 (%2)&#xa0;: le fichier a été mis de côté sous le nom %3 et un nouvel identifiant a été attribué.</translation>
    </message>
    <message>
        <source>Kestrum&apos;s data folder was made on another computer (device %1): this computer is a device of its own from now on, %2, so that the two never pose as one.</source>
        <translation>Le dossier de données de Kestrum a été créé sur un autre ordinateur (ordinateur %1)&#xa0;: cet ordinateur reçoit désormais son propre identifiant, %2, pour que les deux ne soient jamais confondus.</translation>
    </message>
</context>
<context>
    <name>GnomeDesktop</name>
    <message>
        <source>the session bus, which GNOME Shell tells of windows on, cannot be reached</source>
        <translation>le bus de session, par lequel GNOME Shell signale les fenêtres, est inaccessible</translation>
    </message>
    <message>
        <source>GNOME Shell left the session bus</source>
        <translation>GNOME Shell a quitté le bus de session</translation>
    </message>
    <message>
        <source>Kestrum&apos;s GNOME Shell extension does not answer (%1), so applications are counted as &quot;Unknown&quot;. Enable it with &quot;gnome-extensions enable %2&quot; and log in again.</source>
        <translation>L’extension GNOME Shell de Kestrum ne répond pas (%1), les applications sont donc comptées sous le nom «&#xa0;Unknown&#xa0;». Activez-la avec «&#xa0;gnome-extensions enable %2&#xa0;» puis reconnectez-vous.</translation>
    </message>
    <message>
        <source>Kestrum&apos;s GNOME Shell extension is installed and enabled: Kestrum sees which window is in front.</source>
        <translation>L’extension GNOME Shell de Kestrum est installée et activée&#xa0;: Kestrum voit quelle fenêtre est au premier plan.</translation>
    </message>
    <message>
        <source>Kestrum&apos;s GNOME Shell extension is installed but not enabled, so applications are counted as &quot;Unknown&quot;. Enable it with &quot;%1&quot;; it takes effect after you next log in.</source>
        <translation>L’extension GNOME Shell de Kestrum est installée mais pas activée, les applications sont donc comptées sous le nom «&#xa0;Unknown&#xa0;». Activez-la avec «&#xa0;%1&#xa0;»&#x202f;; la modification prendra effet à votre prochaine connexion.</translation>
    </message>
    <message>
        <source>Kestrum&apos;s GNOME Shell extension is not installed, so applications are counted as &quot;Unknown&quot;. Install Kestrum (cmake --install), enable the extension with &quot;%1&quot; and log in again.</source>
        <translation>L’extension GNOME Shell de Kestrum n’est pas installée, les applications sont donc comptées sous le nom «&#xa0;Unknown&#xa0;». Installez Kestrum (cmake --install), activez l’extension avec «&#xa0;%1&#xa0;» puis reconnectez-vous.</translation>
    </message>
    <message>
        <source>GNOME Shell does not say whether Kestrum&apos;s extension is installed. Kestrum needs it to see which window is in front: enable it with &quot;%1&quot; and log in again.</source>
        <translation>GNOME Shell n’indique pas si l’extension de Kestrum est installée. Kestrum en a besoin pour voir quelle fenêtre est au premier plan&#xa0;: activez-la avec «&#xa0;%1&#xa0;» puis reconnectez-vous.</translation>
    </message>
</context>
<context>
    <name>HistoryCategories</name>
    <message>
        <source>assigned from %1 to %2</source>
        <translation>attribué du %1 au %2</translation>
    </message>
    <message>
        <source>given with the added time</source>
        <translation>indiqué avec le temps ajouté</translation>
    </message>
    <message>
        <source>given with the answer</source>
        <translation>indiqué avec la réponse</translation>
    </message>
</context>
<context>
    <name>HistoryDatabase</name>
    <message numerus="yes">
        <source>%1, and %n more</source>
        <translation>
            <numerusform>%1 et %n autre erreur</numerusform>
            <numerusform>%1 et %n autres erreurs</numerusform>
        </translation>
    </message>
    <message>
        <source>cannot create %1: %2</source>
        <translation>impossible de créer %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>cannot open the history %1: %2</source>
        <translation>impossible d’ouvrir l’historique %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1 is left as it is: %2</source>
        <translation>%1 est laissé tel quel&#xa0;: %2</translation>
    </message>
    <message>
        <source>it is damaged: %1</source>
        <translation>le fichier est endommagé&#xa0;: %1</translation>
    </message>
    <message>
        <source>%1 cannot be used (%2) nor moved aside: %3</source>
        <translation>%1 ne peut être ni utilisé (%2) ni mis de côté&#xa0;: %3</translation>
    </message>
    <message>
        <source>the journal beside it, %1-wal, belongs to another database</source>
        <translation>le journal à côté, %1-wal, appartient à une autre base de données</translation>
    </message>
    <message numerus="yes">
        <source>The history %1 could not be used (%2): it was moved to %3 and a new one started, with the %n stretch(es) that could still be read in it.</source>
        <translation>
            <numerusform>L’historique %1 n’a pas pu être utilisé (%2)&#xa0;: il a été déplacé vers %3 et un nouvel historique a été créé, avec %n période encore lisible.</numerusform>
            <numerusform>L’historique %1 n’a pas pu être utilisé (%2)&#xa0;: il a été déplacé vers %3 et un nouvel historique a été créé, avec %n périodes encore lisibles.</numerusform>
        </translation>
    </message>
    <message>
        <source>The history %1 could not be used (%2): it was moved to %3 and a new one started; no stretch in it could be read.</source>
        <translation>L’historique %1 n’a pas pu être utilisé (%2)&#xa0;: il a été déplacé vers %3 et un nouvel historique a été créé&#x202f;; aucune période n’a pu y être lue.</translation>
    </message>
    <message>
        <source>there is no history at %1</source>
        <translation>il n’y a pas d’historique à l’emplacement %1</translation>
    </message>
    <message>
        <source>%1 is not Kestrum&apos;s history: %2</source>
        <translation>%1 n’est pas un historique de Kestrum&#xa0;: %2</translation>
    </message>
    <message>
        <source>cannot read the history %1: %2</source>
        <translation>impossible de lire l’historique %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1: a stretch names name %2, which is not in the file</source>
        <translation>%1&#xa0;: une période fait référence au nom %2, absent du fichier</translation>
    </message>
</context>
<context>
    <name>HistoryReport</name>
    <message>
        <source>recorded</source>
        <comment>a stretch&apos;s source: as Kestrum counted it</comment>
        <translation>comptée</translation>
    </message>
    <message>
        <source>added</source>
        <comment>a stretch&apos;s source: time the user added</comment>
        <translation>ajoutée</translation>
    </message>
    <message>
        <source>answered</source>
        <comment>a stretch&apos;s source: time away the user said what it was</comment>
        <translation>renseignée</translation>
    </message>
    <message>
        <source>corrected</source>
        <comment>a stretch&apos;s source: time the user corrected</comment>
        <translation>corrigée</translation>
    </message>
    <message>
        <source>partly covered</source>
        <comment>a stretch partly covered by added time</comment>
        <translation>partiellement couverte</translation>
    </message>
    <message>
        <source>covered</source>
        <comment>a stretch wholly covered by added time</comment>
        <translation>couverte</translation>
    </message>
    <message>
        <source>--device %1 names no computer the history knows: %2</source>
        <translation>--device %1 ne désigne aucun ordinateur connu de l’historique&#xa0;: %2</translation>
    </message>
    <message>
        <source>--device %1 names %2 computers: give the id of one (%3)</source>
        <translation>--device %1 désigne %2 ordinateurs&#xa0;: indiquez l’identifiant de l’un d’eux (%3)</translation>
    </message>
</context>
<context>
    <name>HistorySalvage</name>
    <message>
        <source>it is another program&apos;s database (application id %1)</source>
        <translation>le fichier est une base de données d’un autre programme (identifiant d’application %1)</translation>
    </message>
    <message>
        <source>it was written by a newer Kestrum (schema %1)</source>
        <translation>le fichier a été écrit par une version plus récente de Kestrum (schéma %1)</translation>
    </message>
    <message>
        <source>its tables are missing</source>
        <translation>les tables du fichier sont absentes</translation>
    </message>
    <message>
        <source>it is another program&apos;s database (schema version %1)</source>
        <translation>le fichier est une base de données d’un autre programme (version de schéma %1)</translation>
    </message>
    <message>
        <source>it is another program&apos;s database (tables %1)</source>
        <translation>le fichier est une base de données d’un autre programme (tables %1)</translation>
    </message>
    <message>
        <source>cannot rename %1 to %2</source>
        <translation>impossible de renommer %1 en %2</translation>
    </message>
</context>
<context>
    <name>HistoryStore</name>
    <message>
        <source>The history cannot be kept: %1. Counting goes on.</source>
        <translation>L’historique ne peut pas être tenu&#xa0;: %1. Le comptage continue.</translation>
    </message>
    <message>
        <source>The history cannot be written (%1): it is kept in memory and written when it can be.</source>
        <translation>L’historique ne peut pas être écrit (%1)&#xa0;: il est gardé en mémoire et sera écrit dès que possible.</translation>
    </message>
    <message>
        <source>The history could not be put on the disk (%1).</source>
        <translation>L’historique n’a pas pu être écrit sur le disque (%1).</translation>
    </message>
</context>
<context>
    <name>HistoryWindow</name>
    <message>
        <source>Forget</source>
        <translation>Oublier</translation>
    </message>
    <message>
        <source>Kestrum History</source>
        <translation>Historique de Kestrum</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Jour</translation>
    </message>
    <message>
        <source>Week</source>
        <translation>Semaine</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Mois</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Précédent</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <source>Day shown</source>
        <translation>Jour affiché</translation>
    </message>
    <message>
        <source>By Application</source>
        <translation>Par application</translation>
    </message>
    <message>
        <source>By Category</source>
        <translation>Par catégorie</translation>
    </message>
    <message>
        <source>Group by</source>
        <translation>Regrouper par</translation>
    </message>
    <message>
        <source>Computers</source>
        <translation>Ordinateurs</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Show only the hours that hold activity, or the whole day</source>
        <translation>Afficher seulement les heures avec de l’activité, ou la journée entière</translation>
    </message>
    <message>
        <source>Legend</source>
        <translation>Légende</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Application</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Time by application</source>
        <translation>Temps par application</translation>
    </message>
    <message>
        <source>Export Stretches…</source>
        <translation>Exporter les périodes…</translation>
    </message>
    <message>
        <source>Export Totals…</source>
        <translation>Exporter les totaux…</translation>
    </message>
    <message>
        <source>Export Timesheet…</source>
        <translation>Exporter la feuille de temps…</translation>
    </message>
    <message>
        <source>Add Time…</source>
        <translation>Ajouter du temps…</translation>
    </message>
    <message>
        <source>Forget Range…</source>
        <translation>Oublier la plage…</translation>
    </message>
    <message>
        <source>Forget Application…</source>
        <translation>Oublier l’application…</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Catégorie</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>Time by category</source>
        <translation>Temps par catégorie</translation>
    </message>
    <message>
        <source>The history is damaged and cannot be shown (%1). Kestrum moves a damaged history aside at its next start and keeps what can still be read of it.</source>
        <translation>L’historique est endommagé et ne peut pas être affiché (%1). Au prochain démarrage, Kestrum met de côté un historique endommagé et conserve ce qui peut encore en être lu.</translation>
    </message>
    <message>
        <source>The history cannot be read: %1</source>
        <translation>Impossible de lire l’historique&#xa0;: %1</translation>
    </message>
    <message>
        <source>Total: %1 · Idle: %2 · at two computers at once: %3, counted on each</source>
        <translation>Total&#xa0;: %1 · Inactivité&#xa0;: %2 · sur deux ordinateurs à la fois&#xa0;: %3, compté sur chacun</translation>
    </message>
    <message>
        <source>Total: %1 · Idle: %2</source>
        <translation>Total&#xa0;: %1 · Inactivité&#xa0;: %2</translation>
    </message>
    <message>
        <source>All Computers</source>
        <translation>Tous les ordinateurs</translation>
    </message>
    <message>
        <source>This Computer (%1)</source>
        <translation>Cet ordinateur (%1)</translation>
    </message>
    <message>
        <source>Export Totals</source>
        <translation>Exporter les totaux</translation>
    </message>
    <message>
        <source>Export Stretches</source>
        <translation>Exporter les périodes</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exporter</translation>
    </message>
    <message>
        <source>The history could not be exported: %1</source>
        <translation>Impossible d’exporter l’historique&#xa0;: %1</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <comment>a range of days</comment>
        <translation>%1 au %2</translation>
    </message>
    <message>
        <source>Forget everything &quot;%1&quot; did in the history from %2? This cannot be undone.</source>
        <translation>Oublier dans l’historique tout ce qu’a fait «&#xa0;%1&#xa0;» du %2&#x202f;? Cette action est irréversible.</translation>
    </message>
    <message>
        <source>Forget the history of %1? This cannot be undone.</source>
        <translation>Oublier l’historique du %1&#x202f;? Cette action est irréversible.</translation>
    </message>
    <message>
        <source>Nothing was forgotten: %1</source>
        <translation>Rien n’a été oublié&#xa0;: %1</translation>
    </message>
    <message numerus="yes">
        <source>%Ln stretch(es) forgotten.</source>
        <translation>
            <numerusform>%Ln période oubliée.</numerusform>
            <numerusform>%Ln périodes oubliées.</numerusform>
        </translation>
    </message>
    <message>
        <source>Export Timesheet</source>
        <translation>Exporter la feuille de temps</translation>
    </message>
    <message>
        <source>The timesheet could not be exported: %1</source>
        <translation>Impossible d’exporter la feuille de temps&#xa0;: %1</translation>
    </message>
    <message>
        <source>nothing is selected</source>
        <translation>rien n’est sélectionné</translation>
    </message>
    <message>
        <source>%1 to %2 is now in &quot;%3&quot;.</source>
        <translation>La plage de %1 à %2 est maintenant dans «&#xa0;%3&#xa0;».</translation>
    </message>
    <message>
        <source>added time needs a name and an end after its start</source>
        <translation>le temps ajouté doit avoir un nom et une fin postérieure à son début</translation>
    </message>
    <message>
        <source>%1 to %2 added as &quot;%3&quot;.</source>
        <translation>Temps de %1 à %2 ajouté sous le nom «&#xa0;%3&#xa0;».</translation>
    </message>
    <message>
        <source>The added time was removed; what was recorded beneath it counts again.</source>
        <translation>Le temps ajouté a été supprimé&#x202f;; ce qui avait été enregistré en dessous compte de nouveau.</translation>
    </message>
    <message>
        <source>no stretch is selected</source>
        <translation>aucune période n’est sélectionnée</translation>
    </message>
    <message>
        <source>added time is changed with Edit Added Time…</source>
        <translation>le temps ajouté se modifie avec «&#xa0;Modifier le temps ajouté…&#xa0;»</translation>
    </message>
    <message>
        <source>The stretch from %1 is now &quot;%2&quot;; it was recorded as &quot;%3&quot;.</source>
        <translation>La période commençant à %1 s’appelle maintenant «&#xa0;%2&#xa0;»&#x202f;; elle avait été enregistrée comme «&#xa0;%3&#xa0;».</translation>
    </message>
    <message>
        <source>Nothing was added: %1</source>
        <translation>Rien n’a été ajouté&#xa0;: %1</translation>
    </message>
    <message>
        <source>Nothing was changed: %1</source>
        <translation>Rien n’a été modifié&#xa0;: %1</translation>
    </message>
    <message>
        <source>there is no categories file to keep the rule in</source>
        <translation>il n’y a aucun fichier de catégories où enregistrer la règle</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is now always in &quot;%2&quot;, on every day kept.</source>
        <translation>«&#xa0;%1&#xa0;» est désormais toujours dans «&#xa0;%2&#xa0;», pour chaque jour conservé.</translation>
    </message>
    <message>
        <source>Always Put &quot;%1&quot; in…</source>
        <translation>Toujours mettre «&#xa0;%1&#xa0;» dans…</translation>
    </message>
    <message>
        <source>Always Put Window &quot;%1&quot; in…</source>
        <translation>Toujours mettre la fenêtre «&#xa0;%1&#xa0;» dans…</translation>
    </message>
    <message>
        <source>Always put &quot;%1&quot; into:</source>
        <translation>Toujours mettre «&#xa0;%1&#xa0;» dans&#xa0;:</translation>
    </message>
    <message>
        <source>Assign to Category…</source>
        <translation>Attribuer à une catégorie…</translation>
    </message>
    <message>
        <source>Edit Added Time…</source>
        <translation>Modifier le temps ajouté…</translation>
    </message>
    <message>
        <source>Remove Added Time</source>
        <translation>Supprimer le temps ajouté</translation>
    </message>
    <message>
        <source>Rename as…</source>
        <translation>Renommer en…</translation>
    </message>
    <message>
        <source>Forget…</source>
        <translation>Oublier…</translation>
    </message>
    <message>
        <source>Put the selected time into:</source>
        <translation>Mettre le temps sélectionné dans&#xa0;:</translation>
    </message>
    <message>
        <source>Nothing was removed: %1</source>
        <translation>Rien n’a été supprimé&#xa0;: %1</translation>
    </message>
    <message>
        <source>Count this stretch as:</source>
        <translation>Compter cette période comme&#xa0;:</translation>
    </message>
    <message>
        <source>Nothing was renamed: %1</source>
        <translation>Rien n’a été renommé&#xa0;: %1</translation>
    </message>
    <message>
        <source>Make a Rule…</source>
        <translation>Créer une règle…</translation>
    </message>
    <message>
        <source>Forget the stretches that start from %1 to %2? This cannot be undone.</source>
        <translation>Oublier les périodes qui commencent entre %1 et %2&#x202f;? Cette action est irréversible.</translation>
    </message>
</context>
<context>
    <name>KWinScriptDesktop</name>
    <message>
        <source>cannot offer KWin a way to report its windows: %1</source>
        <translation>impossible de proposer à KWin un moyen de signaler ses fenêtres&#xa0;: %1</translation>
    </message>
    <message>
        <source>cannot write KWin&apos;s window watcher: %1</source>
        <translation>impossible d’écrire l’observateur de fenêtres pour KWin&#xa0;: %1</translation>
    </message>
    <message>
        <source>it refused</source>
        <comment>KWin refused to load the script</comment>
        <translation>chargement refusé</translation>
    </message>
    <message>
        <source>KWin did not run Kestrum&apos;s window watcher (%1): windows are not watched.</source>
        <translation>KWin n’a pas exécuté l’observateur de fenêtres de Kestrum (%1)&#xa0;: les fenêtres ne sont pas suivies.</translation>
    </message>
</context>
<context>
    <name>KestrumController</name>
    <message>
        <source>Timer still running.</source>
        <translation>Un compteur est toujours en cours.</translation>
    </message>
    <message>
        <source>There is a timer currently running. Kestrum must remain open in order to keep track of time. Are you sure you wish to quit?</source>
        <translation>Un compteur est en cours. Kestrum doit rester ouvert pour mesurer le temps. Voulez-vous vraiment quitter&#x202f;?</translation>
    </message>
    <message>
        <source>Remain Open</source>
        <comment>button: do not quit</comment>
        <translation>Rester ouvert</translation>
    </message>
    <message>
        <source>Quit</source>
        <comment>button: quit although counting</comment>
        <translation>Quitter</translation>
    </message>
</context>
<context>
    <name>KestrumProbe</name>
    <message>
        <source>Prints what Kestrum sees on this desktop, one JSON object a line, every second and on every
change: the front application, the active window with its title and document name, the
seconds since the last input, whether idle is inhibited and by what, whether the screen
saver runs, and the login session&apos;s state.</source>
        <translation>Affiche ce que Kestrum voit sur ce bureau, un objet JSON par ligne, chaque seconde et à chaque
changement&#xa0;: l’application au premier plan, la fenêtre active avec son titre et le nom de son
document, les secondes écoulées depuis la dernière saisie, si l’inactivité est empêchée et par
quoi, si l’économiseur d’écran est actif, et l’état de la session.</translation>
    </message>
    <message>
        <source>Stop after N lines.</source>
        <translation>S’arrêter après N lignes.</translation>
    </message>
    <message>
        <source>N</source>
        <comment>value name of --count in --help</comment>
        <translation>N</translation>
    </message>
    <message>
        <source>--count takes a positive number</source>
        <translation>--count attend un nombre positif</translation>
    </message>
</context>
<context>
    <name>KestrumReplay</name>
    <message>
        <source>Runs a Kestrum scenario (JSON Lines of timed actions) against the real controller on a
scripted desktop and virtual time, and prints the resulting timings as a timing document.</source>
        <translation>Exécute un scénario Kestrum (JSON Lines d’actions datées) avec le vrai contrôleur, sur un bureau simulé
et en temps virtuel, et affiche les temps mesurés qui en résultent sous forme de document de temps.</translation>
    </message>
    <message>
        <source>Print the CSV export of all applications instead.</source>
        <translation>Afficher plutôt l’export CSV de toutes les applications.</translation>
    </message>
    <message>
        <source>Run as if DIR were the home directory (default: a temporary one).</source>
        <translation>Exécuter comme si RÉP était le dossier personnel (par défaut&#xa0;: un dossier temporaire).</translation>
    </message>
    <message>
        <source>DIR</source>
        <comment>value name of --home in --help</comment>
        <translation>RÉP</translation>
    </message>
    <message>
        <source>SCENARIO</source>
        <comment>name of the argument in --help</comment>
        <translation>SCÉNARIO</translation>
    </message>
    <message>
        <source>The scenario file (.jsonl).</source>
        <translation>Le fichier de scénario (.jsonl).</translation>
    </message>
    <message>
        <source>give one SCENARIO file (see --help)</source>
        <translation>indiquez un seul fichier SCÉNARIO (voir --help)</translation>
    </message>
    <message>
        <source>cannot make a temporary home directory: %1</source>
        <translation>impossible de créer un dossier personnel temporaire&#xa0;: %1</translation>
    </message>
    <message>
        <source>cannot use %1 as the home directory: %2</source>
        <translation>impossible d’utiliser %1 comme dossier personnel&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>KestrumReport</name>
    <message>
        <source>%1 is no option: a day goes after --from or --to, and days start at 0001-01-01</source>
        <translation>%1 n’est pas une option&#xa0;: un jour se place après --from ou --to, et les jours commencent au 0001-01-01</translation>
    </message>
    <message>
        <source>unknown option %1 (see --help)</source>
        <translation>option inconnue %1 (voir --help)</translation>
    </message>
    <message>
        <source>Prints the timings of a Kestrum timing document, or with no FILE those Kestrum saved last
(in %1): applications longest first with their windows beneath, and the total.</source>
        <translation>Affiche les temps d’un document de temps Kestrum ou, sans FICHIER, ceux que Kestrum a enregistrés
en dernier (dans %1)&#xa0;: les applications, la plus longue d’abord, avec leurs fenêtres en dessous, et le total.</translation>
    </message>
    <message>
        <source>Print the CSV export of all applications instead of the table.</source>
        <translation>Afficher l’export CSV de toutes les applications au lieu du tableau.</translation>
    </message>
    <message>
        <source>Print the stretches of the history (%1) instead, each marked as recorded, added, answered or corrected.</source>
        <translation>Afficher plutôt les périodes de l’historique (%1), chacune marquée comme comptée, ajoutée, renseignée ou corrigée.</translation>
    </message>
    <message>
        <source>With --history: totals by app, window, day or category (the categories and rules of %1).</source>
        <translation>Avec --history&#xa0;: totaux par application (app), fenêtre (window), jour (day) ou catégorie (category), selon les catégories et règles de %1.</translation>
    </message>
    <message>
        <source>With --by category: the tree folded to N levels.</source>
        <translation>Avec --by category&#xa0;: l’arborescence repliée à N niveaux.</translation>
    </message>
    <message>
        <source>N</source>
        <comment>value name of --depth in --help</comment>
        <translation>N</translation>
    </message>
    <message>
        <source>With --history: only the time of this category and those beneath it.</source>
        <translation>Avec --history&#xa0;: seulement le temps de cette catégorie et de celles qu’elle contient.</translation>
    </message>
    <message>
        <source>With --history and no --by: each stretch&apos;s category and the rule or assignment that put it there.</source>
        <translation>Avec --history et sans --by&#xa0;: la catégorie de chaque période et la règle ou l’attribution qui l’y a placée.</translation>
    </message>
    <message>
        <source>With --history: the first day (default today).</source>
        <translation>Avec --history&#xa0;: le premier jour (par défaut aujourd’hui).</translation>
    </message>
    <message>
        <source>YYYY-MM-DD</source>
        <comment>value name of --from and --to in --help: how a day is written</comment>
        <translation>AAAA-MM-JJ</translation>
    </message>
    <message>
        <source>With --history: the last day (default the first).</source>
        <translation>Avec --history&#xa0;: le dernier jour (par défaut le premier).</translation>
    </message>
    <message>
        <source>With --history: JSON Lines instead of the table.</source>
        <translation>Avec --history&#xa0;: JSON Lines au lieu du tableau.</translation>
    </message>
    <message>
        <source>With --history: the time of one computer (its name or id), of this one (this) or of all (all: the default once the shared folder holds others).</source>
        <translation>Avec --history&#xa0;: le temps d’un ordinateur (son nom ou son identifiant), de celui-ci (this) ou de tous (all&#xa0;: par défaut dès que le dossier partagé en contient d’autres).</translation>
    </message>
    <message>
        <source>NAME|ID|all|this</source>
        <comment>value name of --device in --help; all and this are typed as they are</comment>
        <translation>NOM|ID|all|this</translation>
    </message>
    <message>
        <source>The history&apos;s days as columns and its categories (--by app: applications) as rows, with totals.</source>
        <translation>Les jours de l’historique en colonnes et ses catégories (--by app&#xa0;: les applications) en lignes, avec les totaux.</translation>
    </message>
    <message>
        <source>The history as an iCalendar file: an event per run of time in one category.</source>
        <translation>L’historique sous forme de fichier iCalendar&#xa0;: un événement par plage de temps continue dans une catégorie.</translation>
    </message>
    <message>
        <source>FILE</source>
        <comment>name of the argument in --help</comment>
        <translation>FICHIER</translation>
    </message>
    <message>
        <source>A timing document (.kestrum).</source>
        <translation>Un document de temps (.kestrum).</translation>
    </message>
    <message>
        <source>[FILE]</source>
        <comment>the argument in the usage line of --help</comment>
        <translation>[FICHIER]</translation>
    </message>
    <message>
        <source>%1 is not read with --history, which reads the history (%2)</source>
        <translation>%1 n’est pas lu avec --history, qui lit l’historique (%2)</translation>
    </message>
    <message>
        <source>--csv and --json cannot go together</source>
        <translation>--csv et --json s’excluent mutuellement</translation>
    </message>
    <message>
        <source>--by %1 is no grouping: --by takes app, window, day or category</source>
        <translation>--by %1 n’est pas un regroupement&#xa0;: --by accepte app, window, day ou category</translation>
    </message>
    <message>
        <source>--timesheet and --ical cannot go together</source>
        <translation>--timesheet et --ical s’excluent mutuellement</translation>
    </message>
    <message>
        <source>--timesheet takes --by category or --by app</source>
        <translation>--timesheet accepte --by category ou --by app</translation>
    </message>
    <message>
        <source>--timesheet prints a table, or CSV with --csv</source>
        <translation>--timesheet affiche un tableau, ou du CSV avec --csv</translation>
    </message>
    <message>
        <source>--ical goes with --from, --to and --category alone</source>
        <translation>--ical ne se combine qu’avec --from, --to et --category</translation>
    </message>
    <message>
        <source>--depth goes with --by category</source>
        <translation>--depth s’utilise avec --by category</translation>
    </message>
    <message>
        <source>--depth %1 is no depth: it takes a whole number from 1 on</source>
        <translation>--depth %1 n’est pas une profondeur&#xa0;: un nombre entier à partir de 1 est attendu</translation>
    </message>
    <message>
        <source>--explain goes with the stretches, not with --by</source>
        <translation>--explain s’applique aux périodes, pas à --by</translation>
    </message>
    <message>
        <source>--category %1 names no category</source>
        <translation>--category %1 ne désigne aucune catégorie</translation>
    </message>
    <message>
        <source>%1 is not among the categories of %2; only time assigned to it is shown</source>
        <translation>%1 ne fait pas partie des catégories de %2&#x202f;; seul le temps qui lui est attribué est affiché</translation>
    </message>
    <message>
        <source>--by, --depth, --category, --explain, --device, --from, --to and --json go with --history</source>
        <translation>--by, --depth, --category, --explain, --device, --from, --to et --json s’utilisent avec --history</translation>
    </message>
    <message>
        <source>only one FILE can be read (see --help)</source>
        <translation>un seul FICHIER peut être lu (voir --help)</translation>
    </message>
    <message>
        <source>no timings saved yet (%1 does not exist)</source>
        <translation>aucun temps enregistré pour l’instant (%1 n’existe pas)</translation>
    </message>
    <message>
        <source>%1 holds no settings</source>
        <translation>%1 ne contient aucune configuration</translation>
    </message>
</context>
<context>
    <name>LoginAutostart</name>
    <message>
        <source>%1 could not be removed: %2</source>
        <translation>impossible de supprimer %1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>LogindMonitor</name>
    <message>
        <source>Pause counting before the computer sleeps</source>
        <translation>Suspendre le comptage avant la mise en veille de l’ordinateur</translation>
    </message>
    <message>
        <source>Sleep and wake cannot be followed (logind is missing): counting does not pause over sleep.</source>
        <translation>Impossible de suivre la mise en veille et la sortie de veille (logind est absent)&#xa0;: le comptage n’est pas suspendu pendant la veille.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Kestrum</source>
        <translation>Kestrum</translation>
    </message>
    <message>
        <source>Start or pause counting (Ctrl+Return)</source>
        <translation>Démarrer ou suspendre le comptage (Ctrl+Entrée)</translation>
    </message>
    <message>
        <source>Search applications</source>
        <translation>Rechercher des applications</translation>
    </message>
    <message>
        <source>Show only applications with at least this much time</source>
        <translation>Afficher uniquement les applications ayant au moins cette durée</translation>
    </message>
    <message>
        <source>Least time shown</source>
        <translation>Durée minimale affichée</translation>
    </message>
    <message>
        <source>At least</source>
        <translation>Au moins</translation>
    </message>
    <message>
        <source>Timings</source>
        <translation>Temps mesurés</translation>
    </message>
    <message>
        <source>Applications and, beneath each, its windows, with their time</source>
        <translation>Les applications et, sous chacune, ses fenêtres, avec leur temps</translation>
    </message>
    <message>
        <source>Press Start to count the time you spend in each application, or turn on “Start counting when Kestrum opens” in Edit ▸ Preferences.</source>
        <translation>Cliquez sur «&#xa0;Démarrer&#xa0;» pour compter le temps passé dans chaque application, ou activez «&#xa0;Démarrer le comptage à l’ouverture de Kestrum&#xa0;» dans Édition ▸ Préférences.</translation>
    </message>
    <message>
        <source>Total:</source>
        <translation>Total&#xa0;:</translation>
    </message>
    <message>
        <source>The timings could not be saved: %1</source>
        <translation>Les temps n’ont pas pu être enregistrés&#xa0;: %1</translation>
    </message>
    <message>
        <source>The periodic save failed, so the timings were kept: %1</source>
        <translation>L’enregistrement périodique a échoué, les temps ont donc été conservés&#xa0;: %1</translation>
    </message>
    <message>
        <source>Selected:</source>
        <translation>Sélection&#xa0;:</translation>
    </message>
    <message>
        <source>Start</source>
        <comment>button: start counting</comment>
        <translation>Démarrer</translation>
    </message>
    <message>
        <source>Pause</source>
        <comment>button: pause counting</comment>
        <translation>Suspendre</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Open Timings…</source>
        <translation>&amp;Ouvrir des temps…</translation>
    </message>
    <message>
        <source>Save Timings &amp;As…</source>
        <translation>Enregistrer les temps &amp;sous…</translation>
    </message>
    <message>
        <source>Export &amp;All to CSV…</source>
        <translation>Exporter &amp;tous les temps en CSV…</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>Export &amp;Shown to CSV…</source>
        <translation>Exporter les temps &amp;affichés en CSV…</translation>
    </message>
    <message>
        <source>Ctrl+Shift+E</source>
        <translation>Ctrl+Shift+E</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Édition</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Rechercher</translation>
    </message>
    <message>
        <source>&amp;Clear Timers…</source>
        <translation>Ré&amp;initialiser les compteurs…</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Backspace</source>
        <translation>Ctrl+Shift+Backspace</translation>
    </message>
    <message>
        <source>C&amp;ategories…</source>
        <translation>&amp;Catégories…</translation>
    </message>
    <message>
        <source>Ctrl+,</source>
        <translation>Ctrl+,</translation>
    </message>
    <message>
        <source>&amp;Preferences…</source>
        <translation>&amp;Préférences…</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>&amp;History…</source>
        <translation>&amp;Historique…</translation>
    </message>
    <message>
        <source>Ctrl+H</source>
        <translation>Ctrl+H</translation>
    </message>
    <message>
        <source>&amp;Counting</source>
        <translation>&amp;Comptage</translation>
    </message>
    <message>
        <source>Ctrl+Return</source>
        <translation>Ctrl+Return</translation>
    </message>
    <message>
        <source>Open Timings</source>
        <translation>Ouvrir des temps</translation>
    </message>
    <message>
        <source>Kestrum timings (*.kestrum);;All files (*)</source>
        <translation>Documents de temps Kestrum (*.kestrum);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>The timings in “%1” could not be opened.</source>
        <translation>Les temps de «&#xa0;%1&#xa0;» n’ont pas pu être ouverts.</translation>
    </message>
    <message>
        <source>Opening “%1” replaces the current timings.</source>
        <translation>Ouvrir «&#xa0;%1&#xa0;» remplace les temps actuels.</translation>
    </message>
    <message>
        <source>Do you want to save the current timings first?</source>
        <translation>Voulez-vous d’abord enregistrer les temps actuels&#x202f;?</translation>
    </message>
    <message>
        <source>Save Timings…</source>
        <translation>Enregistrer les temps…</translation>
    </message>
    <message>
        <source>Replace Timings</source>
        <translation>Remplacer les temps</translation>
    </message>
    <message>
        <source>Save Timings As</source>
        <translation>Enregistrer les temps sous</translation>
    </message>
    <message>
        <source>Kestrum timings (*.kestrum)</source>
        <translation>Documents de temps Kestrum (*.kestrum)</translation>
    </message>
    <message>
        <source>The timings could not be saved as “%1”.</source>
        <translation>Les temps n’ont pas pu être enregistrés sous «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>Export All to CSV</source>
        <translation>Exporter tous les temps en CSV</translation>
    </message>
    <message>
        <source>Export Shown to CSV</source>
        <translation>Exporter les temps affichés en CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message>
        <source>The timings could not be exported to “%1”.</source>
        <translation>Les temps n’ont pas pu être exportés vers «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>Clear Timers</source>
        <translation>Réinitialiser les compteurs</translation>
    </message>
    <message>
        <source>Are you sure you wish to clear the timers?</source>
        <translation>Voulez-vous vraiment réinitialiser les compteurs&#x202f;?</translation>
    </message>
    <message>
        <source>Keep Current Timers</source>
        <translation>Conserver les compteurs actuels</translation>
    </message>
    <message numerus="yes">
        <source>%1 (and %n more: see Edit ▸ Categories…)</source>
        <translation>
            <numerusform>%1 (et %n autre&#xa0;: voir Édition ▸ Catégories…)</numerusform>
            <numerusform>%1 (et %n autres&#xa0;: voir Édition ▸ Catégories…)</numerusform>
        </translation>
    </message>
    <message>
        <source>Keep your categories in the shared folder?</source>
        <translation>Conserver vos catégories dans le dossier partagé&#x202f;?</translation>
    </message>
    <message>
        <source>Every computer then sorts its time into the same categories, by the same rules. This computer&apos;s categories move to %1.</source>
        <translation>Chaque ordinateur classe alors son temps dans les mêmes catégories, selon les mêmes règles. Les catégories de cet ordinateur sont déplacées vers %1.</translation>
    </message>
    <message>
        <source>Move to the Shared Folder</source>
        <translation>Déplacer vers le dossier partagé</translation>
    </message>
    <message>
        <source>Keep on This Computer</source>
        <translation>Garder sur cet ordinateur</translation>
    </message>
    <message>
        <source>The categories stay on this computer: %1</source>
        <translation>Les catégories restent sur cet ordinateur&#xa0;: %1</translation>
    </message>
    <message>
        <source>Two versions of the categories</source>
        <translation>Deux versions des catégories</translation>
    </message>
    <message>
        <source>The sync tool kept another computer&apos;s version of the categories beside them, as %1 (changed %2). Which should every computer use?</source>
        <translation>L’outil de synchronisation a conservé à côté d’elles la version des catégories d’un autre ordinateur, sous le nom %1 (modifiée le %2). Laquelle tous les ordinateurs doivent-ils utiliser&#x202f;?</translation>
    </message>
    <message>
        <source>Keep the Current Categories</source>
        <translation>Garder les catégories actuelles</translation>
    </message>
    <message>
        <source>Use the Other Version</source>
        <translation>Utiliser l’autre version</translation>
    </message>
    <message>
        <source>The two versions of the categories are left as they are: %1</source>
        <translation>Les deux versions des catégories restent en l’état&#xa0;: %1</translation>
    </message>
    <message>
        <source>Window titles cannot be read here: only applications are timed.</source>
        <translation>Les titres de fenêtre ne peuvent pas être lus ici&#xa0;: seules les applications sont comptées.</translation>
    </message>
    <message>
        <source>Time per window is turned off: only applications are timed.</source>
        <translation>Le temps par fenêtre est désactivé&#xa0;: seules les applications sont comptées.</translation>
    </message>
</context>
<context>
    <name>OutlineModel</name>
    <message>
        <source>%1: time away from the computer, as you said</source>
        <translation>%1&#xa0;: absence de l’ordinateur, selon vos indications</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Temps</translation>
    </message>
</context>
<context>
    <name>PeriodicSave</name>
    <message>
        <source>The periodic save into %1 failed, and the timings were kept: %2</source>
        <translation>L’enregistrement périodique dans %1 a échoué, et les temps ont été conservés&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>PlasmaDesktop</name>
    <message>
        <source>KWin does not let Kestrum list its windows (it offers no %1)</source>
        <translation>KWin ne permet pas à Kestrum de lister ses fenêtres (il ne propose pas %1)</translation>
    </message>
    <message>
        <source>the Wayland compositor does not answer</source>
        <translation>le compositeur Wayland ne répond pas</translation>
    </message>
</context>
<context>
    <name>PrefWindow</name>
    <message>
        <source>Kestrum Preferences</source>
        <translation>Préférences de Kestrum</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>Start counting when Kestrum opens</source>
        <translation>Démarrer le comptage à l’ouverture de Kestrum</translation>
    </message>
    <message>
        <source>Open Kestrum at login</source>
        <translation>Ouvrir Kestrum à la connexion</translation>
    </message>
    <message>
        <source>Counting</source>
        <translation>Comptage</translation>
    </message>
    <message>
        <source>Count time per window and document</source>
        <translation>Compter le temps par fenêtre et par document</translation>
    </message>
    <message>
        <source>Idle after</source>
        <translation>Inactif après</translation>
    </message>
    <message>
        <source>Minutes without input until idle</source>
        <translation>Minutes sans saisie avant l’inactivité</translation>
    </message>
    <message>
        <source>Include “Idle” in the total</source>
        <translation>Inclure «&#xa0;Inactivité&#xa0;» dans le total</translation>
    </message>
    <message>
        <source>Takes effect the next time Kestrum opens.</source>
        <translation>Prend effet à la prochaine ouverture de Kestrum.</translation>
    </message>
    <message>
        <source>Periodic save</source>
        <translation>Enregistrement périodique</translation>
    </message>
    <message>
        <source>Save the timings at</source>
        <translation>Enregistrer les temps à</translation>
    </message>
    <message>
        <source>Time of the periodic save</source>
        <translation>Heure de l’enregistrement périodique</translation>
    </message>
    <message>
        <source>CSV file</source>
        <translation>Fichier CSV</translation>
    </message>
    <message>
        <source>Timing document</source>
        <translation>Document de temps</translation>
    </message>
    <message>
        <source>CSV file and timing document</source>
        <translation>Fichier CSV et document de temps</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Choisir…</translation>
    </message>
    <message>
        <source>On:</source>
        <translation>Jours&#xa0;:</translation>
    </message>
    <message>
        <source>Save as:</source>
        <translation>Enregistrer en&#xa0;:</translation>
    </message>
    <message>
        <source>In:</source>
        <translation>Dans&#xa0;:</translation>
    </message>
    <message>
        <source>After each save the timings start over.</source>
        <translation>Après chaque enregistrement, les temps repartent de zéro.</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Confidentialité</translation>
    </message>
    <message>
        <source>One application a line</source>
        <translation>Une application par ligne</translation>
    </message>
    <message>
        <source>One regular expression a line</source>
        <translation>Une expression régulière par ligne</translation>
    </message>
    <message>
        <source>Never record the window titles of these applications:</source>
        <translation>Ne jamais enregistrer les titres de fenêtre de ces applications&#xa0;:</translation>
    </message>
    <message>
        <source>Record windows whose title matches one of these as &quot;(private)&quot;:</source>
        <translation>Enregistrer comme «&#xa0;(private)&#xa0;» les fenêtres dont le titre correspond à l’une de ces expressions&#xa0;:</translation>
    </message>
    <message>
        <source>Applies from the next title read on; nothing is recorded before that.</source>
        <translation>S’applique dès le prochain titre lu, avant que quoi que ce soit ne soit enregistré.</translation>
    </message>
    <message>
        <source>This computer</source>
        <translation>Cet ordinateur</translation>
    </message>
    <message>
        <source>This computer&apos;s name among your computers</source>
        <translation>Nom de cet ordinateur parmi vos ordinateurs</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Nom&#xa0;:</translation>
    </message>
    <message>
        <source>Device id:</source>
        <translation>Identifiant de l’ordinateur&#xa0;:</translation>
    </message>
    <message>
        <source>Desktop</source>
        <translation>Environnement de bureau</translation>
    </message>
    <message>
        <source>Time away</source>
        <translation>Absence</translation>
    </message>
    <message>
        <source>Ask what the time away was after</source>
        <translation>Demander à quoi correspondait l’absence après</translation>
    </message>
    <message>
        <source>the idle time</source>
        <translation>le délai d’inactivité</translation>
    </message>
    <message>
        <source>Minutes away before Kestrum asks</source>
        <translation>Minutes d’absence avant que Kestrum ne demande</translation>
    </message>
    <message>
        <source>Never idle while an application keeps the screen awake (a film, a call)</source>
        <translation>Jamais inactif tant qu’une application maintient l’écran allumé (un film, un appel)</translation>
    </message>
    <message>
        <source>Never idle while one of these applications is in front:</source>
        <translation>Jamais inactif tant qu’une de ces applications est au premier plan&#xa0;:</translation>
    </message>
    <message>
        <source>Applications that never go idle</source>
        <translation>Applications jamais inactives</translation>
    </message>
    <message>
        <source>Not a regular expression, so it hides nothing: %1</source>
        <translation>Pas une expression régulière, rien n’est donc masqué&#xa0;: %1</translation>
    </message>
    <message>
        <source>none (see the status line)</source>
        <translation>aucun (voir la ligne d’état)</translation>
    </message>
    <message>
        <source>Folder Shared with Your Other Computers</source>
        <translation>Dossier partagé avec vos autres ordinateurs</translation>
    </message>
    <message>
        <source>None: the history stays on this computer</source>
        <translation>Aucun&#xa0;: l’historique reste sur cet ordinateur</translation>
    </message>
    <message>
        <source>Folder shared with your other computers</source>
        <translation>Dossier partagé avec vos autres ordinateurs</translation>
    </message>
    <message>
        <source>Stop Sharing</source>
        <translation>Arrêter le partage</translation>
    </message>
    <message>
        <source>Shared folder:</source>
        <translation>Dossier partagé&#xa0;:</translation>
    </message>
    <message>
        <source>Share window titles with my other computers</source>
        <translation>Partager les titres de fenêtre avec mes autres ordinateurs</translation>
    </message>
    <message>
        <source>A folder that Syncthing, Nextcloud or another sync tool keeps in step: each computer writes its own days there and reads the others&apos;.</source>
        <translation>Un dossier que Syncthing, Nextcloud ou un autre outil de synchronisation maintient à jour&#xa0;: chaque ordinateur y écrit ses propres journées et lit celles des autres.</translation>
    </message>
    <message>
        <source>Other computers:</source>
        <translation>Autres ordinateurs&#xa0;:</translation>
    </message>
    <message>
        <source>%1: days up to %2, read %3</source>
        <translation>%1&#xa0;: dernier jour&#xa0;: %2, lu&#xa0;: %3</translation>
    </message>
    <message>
        <source>none</source>
        <comment>no day of another computer&apos;s history yet</comment>
        <translation>aucun</translation>
    </message>
    <message>
        <source>never</source>
        <comment>another computer&apos;s history was never read</comment>
        <translation>jamais</translation>
    </message>
    <message>
        <source>None seen yet</source>
        <translation>Aucun pour l’instant</translation>
    </message>
    <message numerus="yes">
        <source>minute(s) without input</source>
        <translation>
            <numerusform>minute sans saisie</numerusform>
            <numerusform>minutes sans saisie</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> minute(s)</source>
        <translation>
            <numerusform> minute</numerusform>
            <numerusform> minutes</numerusform>
        </translation>
    </message>
    <message>
        <source>Folder for the Periodic Saves</source>
        <translation>Dossier des enregistrements périodiques</translation>
    </message>
    <message>
        <source>Kestrum</source>
        <translation>Kestrum</translation>
    </message>
    <message>
        <source>Kestrum could not be set to open at login.</source>
        <translation>Kestrum n’a pas pu être configuré pour s’ouvrir à la connexion.</translation>
    </message>
    <message>
        <source>Kestrum could not be kept from opening at login.</source>
        <translation>L’ouverture de Kestrum à la connexion n’a pas pu être désactivée.</translation>
    </message>
</context>
<context>
    <name>PropertyList</name>
    <message>
        <source>line %1, column %2: %3</source>
        <translation>ligne %1, colonne %2&#xa0;: %3</translation>
    </message>
    <message>
        <source>unexpected end of the document</source>
        <translation>fin inattendue du document</translation>
    </message>
    <message>
        <source>reference to the undeclared entity &amp;%1;</source>
        <translation>référence à l’entité non déclarée &amp;%1;</translation>
    </message>
    <message>
        <source>a document type declaration with an internal subset is not accepted</source>
        <translation>une déclaration de type de document avec un sous-ensemble interne n’est pas acceptée</translation>
    </message>
    <message>
        <source>text %1 where an element is expected</source>
        <translation>texte %1 là où un élément est attendu</translation>
    </message>
    <message>
        <source>unexpected %1 inside %2</source>
        <translation>%1 inattendu dans %2</translation>
    </message>
    <message>
        <source>the document holds no &lt;plist&gt; element</source>
        <translation>le document ne contient aucun élément &lt;plist&gt;</translation>
    </message>
    <message>
        <source>the root element is %1, not &lt;plist&gt;</source>
        <translation>l’élément racine est %1 et non &lt;plist&gt;</translation>
    </message>
    <message>
        <source>unsupported property-list version %1</source>
        <translation>version %1 de liste de propriétés non prise en charge</translation>
    </message>
    <message>
        <source>&lt;plist&gt; holds no value</source>
        <translation>&lt;plist&gt; ne contient aucune valeur</translation>
    </message>
    <message>
        <source>&lt;plist&gt; holds more than one value</source>
        <translation>&lt;plist&gt; contient plus d’une valeur</translation>
    </message>
    <message>
        <source>more than %1 nested containers</source>
        <translation>plus de %1 conteneurs imbriqués</translation>
    </message>
    <message>
        <source>&lt;key&gt; outside a &lt;dict&gt;</source>
        <translation>&lt;key&gt; en dehors d’un &lt;dict&gt;</translation>
    </message>
    <message>
        <source>unknown element %1</source>
        <translation>élément inconnu %1</translation>
    </message>
    <message>
        <source>malformed %1 value %2</source>
        <translation>valeur %1 %2 mal formée</translation>
    </message>
    <message>
        <source>%1 value %2 is out of range</source>
        <translation>la valeur %1 %2 est hors limites</translation>
    </message>
    <message>
        <source>%1 holds text %2</source>
        <translation>%1 contient le texte %2</translation>
    </message>
    <message>
        <source>expected &lt;key&gt; in &lt;dict&gt;, found %1</source>
        <translation>&lt;key&gt; attendu dans &lt;dict&gt;, %1 trouvé</translation>
    </message>
    <message>
        <source>key %1 has no value</source>
        <translation>la clé %1 n’a pas de valeur</translation>
    </message>
    <message>
        <source>the top level</source>
        <translation>niveau supérieur</translation>
    </message>
    <message>
        <source>cannot write %1 at %2</source>
        <translation>impossible d’écrire %1 (emplacement&#xa0;: %2)</translation>
    </message>
    <message>
        <source>an invalid date</source>
        <translation>une date non valide</translation>
    </message>
    <message>
        <source>a date outside the years 1 to 9999</source>
        <translation>une date en dehors des années 1 à 9999</translation>
    </message>
    <message>
        <source>an empty value</source>
        <translation>une valeur vide</translation>
    </message>
    <message>
        <source>a value of type %1</source>
        <translation>une valeur de type %1</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>ce n’est pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>larger than %1 MiB</source>
        <translation>plus de %1 Mio</translation>
    </message>
</context>
<context>
    <name>SavedState</name>
    <message>
        <source>%1 holds no timings</source>
        <translation>%1 ne contient aucun temps mesuré</translation>
    </message>
</context>
<context>
    <name>Scenario</name>
    <message>
        <source>&quot;at&quot; must be a number of seconds, 0 or more</source>
        <translation>&quot;at&quot; doit être un nombre de secondes, 0 ou plus</translation>
    </message>
    <message>
        <source>&quot;at&quot; is %1: it must be a number of seconds, 0 or more</source>
        <translation>&quot;at&quot; vaut %1&#xa0;: ce doit être un nombre de secondes, 0 ou plus</translation>
    </message>
    <message>
        <source>&quot;at&quot; is %1 seconds, beyond the longest a scenario may run: ten years of virtual time (%2 seconds)</source>
        <translation>&quot;at&quot; vaut %1 secondes, au-delà de la durée maximale d’un scénario&#xa0;: dix ans de temps virtuel (%2 secondes)</translation>
    </message>
    <message>
        <source>&quot;settings&quot; takes an object of setting keys and values</source>
        <translation>&quot;settings&quot; attend un objet de clés et de valeurs de réglages</translation>
    </message>
    <message>
        <source>&quot;front&quot; takes {&quot;name&quot;: text or null, &quot;pid&quot;: integer, &quot;accessible&quot;: boolean}</source>
        <translation>&quot;front&quot; attend {&quot;name&quot;: texte ou null, &quot;pid&quot;: entier, &quot;accessible&quot;: booléen}</translation>
    </message>
    <message>
        <source>&quot;window&quot; takes {&quot;pid&quot;: integer, &quot;id&quot;: integer or null, &quot;title&quot;: text or null}</source>
        <translation>&quot;window&quot; attend {&quot;pid&quot;: entier, &quot;id&quot;: entier ou null, &quot;title&quot;: texte ou null}</translation>
    </message>
    <message>
        <source>a window id is a positive integer</source>
        <translation>l’identifiant d’une fenêtre est un entier positif</translation>
    </message>
    <message>
        <source>&quot;title&quot; takes {&quot;id&quot;: positive integer, &quot;title&quot;: text or null}</source>
        <translation>&quot;title&quot; attend {&quot;id&quot;: entier positif, &quot;title&quot;: texte ou null}</translation>
    </message>
    <message>
        <source>this action takes the value true</source>
        <translation>cette action attend la valeur true</translation>
    </message>
    <message>
        <source>&quot;power&quot; takes &quot;can-sleep&quot;, &quot;will-sleep&quot;, &quot;will-not-sleep&quot; or &quot;powered-on&quot;</source>
        <translation>&quot;power&quot; attend &quot;can-sleep&quot;, &quot;will-sleep&quot;, &quot;will-not-sleep&quot; ou &quot;powered-on&quot;</translation>
    </message>
    <message>
        <source>&quot;session&quot; takes &quot;resign&quot; or &quot;active&quot;</source>
        <translation>&quot;session&quot; attend &quot;resign&quot; ou &quot;active&quot;</translation>
    </message>
    <message>
        <source>&quot;accessibility&quot; takes true or false</source>
        <translation>&quot;accessibility&quot; attend true ou false</translation>
    </message>
    <message>
        <source>this action takes a file path</source>
        <translation>cette action attend un chemin de fichier</translation>
    </message>
    <message>
        <source>&quot;inhibitIdle&quot; takes a list of who holds idle inhibitors ([]: none)</source>
        <translation>&quot;inhibitIdle&quot; attend la liste de ceux qui empêchent l’inactivité ([] pour personne)</translation>
    </message>
    <message>
        <source>&quot;answerAway&quot; takes {&quot;label&quot;: text, &quot;category&quot;: [names]} or {&quot;keepIdle&quot;: true}</source>
        <translation>&quot;answerAway&quot; attend {&quot;label&quot;: texte, &quot;category&quot;: [noms]} ou {&quot;keepIdle&quot;: true}</translation>
    </message>
    <message>
        <source>&quot;forget&quot; takes {&quot;from&quot;: local time, &quot;to&quot;: a later one, &quot;application&quot;: a name or nothing}</source>
        <translation>&quot;forget&quot; attend {&quot;from&quot;: heure locale, &quot;to&quot;: une heure ultérieure, &quot;application&quot;: un nom ou rien}</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>ligne %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>not JSON (%1)</source>
        <translation>pas du JSON (%1)</translation>
    </message>
    <message>
        <source>not JSON (%1 at &quot;%2&quot;)</source>
        <translation>pas du JSON (%1 à «&#xa0;%2&#xa0;»)</translation>
    </message>
    <message>
        <source>each line is one JSON object</source>
        <translation>chaque ligne est un objet JSON</translation>
    </message>
    <message>
        <source>{&quot;wall&quot;: ...} stands alone, before every other line</source>
        <translation>{&quot;wall&quot;: ...} est seul sur sa ligne, avant toutes les autres</translation>
    </message>
    <message>
        <source>&quot;wall&quot; takes a local date and time such as &quot;2026-01-05T09:00:00&quot;</source>
        <translation>&quot;wall&quot; attend une date et une heure locales comme &quot;2026-01-05T09:00:00&quot;</translation>
    </message>
    <message>
        <source>&quot;at&quot; is %1, earlier than the line before (%2)</source>
        <translation>&quot;at&quot; vaut %1, plus tôt que la ligne précédente (%2)</translation>
    </message>
    <message>
        <source>unknown action &quot;%1&quot;</source>
        <translation>action inconnue &quot;%1&quot;</translation>
    </message>
    <message>
        <source>a line holds exactly one action</source>
        <translation>une ligne contient exactement une action</translation>
    </message>
    <message>
        <source>the line holds no action</source>
        <translation>la ligne ne contient aucune action</translation>
    </message>
</context>
<context>
    <name>ScenarioRunner</name>
    <message numerus="yes">
        <source>%n second(s) of history could not be written: %1</source>
        <translation>
            <numerusform>%n seconde d’historique n’a pas pu être écrite&#xa0;: %1</numerusform>
            <numerusform>%n secondes d’historique n’ont pas pu être écrites&#xa0;: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>cannot store the timings: %1</source>
        <translation>impossible d’enregistrer les temps&#xa0;: %1</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>ligne %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>&quot;forget&quot;: no history is recorded (run with --home)</source>
        <translation>&quot;forget&quot;&#xa0;: aucun historique n’est enregistré (lancez avec --home)</translation>
    </message>
    <message>
        <source>&quot;answerAway&quot;: no time away is waiting for an answer</source>
        <translation>&quot;answerAway&quot;&#xa0;: aucune absence n’attend de réponse</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>the date %1</source>
        <translation>la date %1</translation>
    </message>
    <message numerus="yes">
        <source>data of %Ln byte(s)</source>
        <translation>
            <numerusform>des données de %Ln octet</numerusform>
            <numerusform>des données de %Ln octets</numerusform>
        </translation>
    </message>
    <message>
        <source>a list</source>
        <translation>une liste</translation>
    </message>
    <message>
        <source>a dictionary</source>
        <translation>un dictionnaire</translation>
    </message>
    <message>
        <source>yes</source>
        <comment>a setting&apos;s value</comment>
        <translation>oui</translation>
    </message>
    <message>
        <source>no</source>
        <comment>a setting&apos;s value</comment>
        <translation>non</translation>
    </message>
    <message>
        <source>an empty list</source>
        <translation>une liste vide</translation>
    </message>
    <message>
        <source>The setting %1 is %2, which is neither yes nor no; %3 is used instead.</source>
        <translation>Le paramètre %1 vaut %2, ce qui n’est ni oui ni non&#x202f;; valeur utilisée à la place&#xa0;: %3.</translation>
    </message>
    <message>
        <source>The setting %1 is %2, which is no number; %3 is used instead.</source>
        <translation>Le paramètre %1 vaut %2, ce qui n’est pas un nombre&#x202f;; valeur utilisée à la place&#xa0;: %3.</translation>
    </message>
    <message>
        <source>The setting %1 is %2, which is no time of day (HH:MM); %3 is used instead.</source>
        <translation>Le paramètre %1 vaut %2, ce qui n’est pas une heure (HH:MM)&#x202f;; valeur utilisée à la place&#xa0;: %3.</translation>
    </message>
    <message>
        <source>The setting %1 is %2, which names no folder; %3 is used instead.</source>
        <translation>Le paramètre %1 vaut %2, ce qui ne désigne aucun dossier&#x202f;; valeur utilisée à la place&#xa0;: %3.</translation>
    </message>
    <message>
        <source>The setting %1 is %2, which is no list of text; %3 is used instead.</source>
        <translation>Le paramètre %1 vaut %2, ce qui n’est pas une liste de textes&#x202f;; valeur utilisée à la place&#xa0;: %3.</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>aucune</translation>
    </message>
    <message numerus="yes">
        <source>The setting %1 holds %n entry(s) that are not text; only its text is used: %2.</source>
        <translation>
            <numerusform>Le paramètre %1 contient %n entrée qui n’est pas du texte&#x202f;; seules les entrées de texte sont utilisées&#xa0;: %2.</numerusform>
            <numerusform>Le paramètre %1 contient %n entrées qui ne sont pas du texte&#x202f;; seules les entrées de texte sont utilisées&#xa0;: %2.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>the file holds no dictionary</source>
        <translation>le fichier ne contient aucun dictionnaire</translation>
    </message>
    <message>
        <source>Some settings in %1 cannot be read; until they are set again in Preferences:
%2</source>
        <translation>Certains paramètres de %1 ne peuvent pas être lus&#x202f;; jusqu’à ce qu’ils soient de nouveau définis dans les Préférences&#xa0;:
%2</translation>
    </message>
    <message>
        <source>Could not read the settings file %1 (%2); it was moved to %3 and Kestrum starts from the defaults.</source>
        <translation>Impossible de lire le fichier de configuration %1 (%2)&#x202f;; il a été déplacé vers %3 et Kestrum repart des valeurs par défaut.</translation>
    </message>
    <message>
        <source>Could not read the settings file %1 (%2) nor move it aside; Kestrum starts from the defaults and will not overwrite it.</source>
        <translation>Impossible de lire le fichier de configuration %1 (%2) ou de le mettre de côté&#x202f;; Kestrum repart des valeurs par défaut et ne l’écrasera pas.</translation>
    </message>
    <message>
        <source>%1 could not be read and is kept as it is</source>
        <translation>%1 n’a pas pu être lu et reste tel quel</translation>
    </message>
</context>
<context>
    <name>SharedCategories</name>
    <message>
        <source>cannot read %1: %2</source>
        <translation>impossible de lire %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>the categories are in %1 now, but %2 could not be removed</source>
        <translation>les catégories sont désormais dans %1, mais %2 n’a pas pu être supprimé</translation>
    </message>
    <message>
        <source>cannot remove %1</source>
        <translation>impossible de supprimer %1</translation>
    </message>
</context>
<context>
    <name>SharedFolder</name>
    <message>
        <source>the shared folder %1 is not there</source>
        <translation>le dossier partagé %1 est introuvable</translation>
    </message>
    <message>
        <source>the history of %1 cannot be read: %2</source>
        <translation>l’historique du %1 ne peut pas être lu&#xa0;: %2</translation>
    </message>
    <message>
        <source>cannot remove %1</source>
        <translation>impossible de supprimer %1</translation>
    </message>
    <message>
        <source>The shared folder %1 is not there: nothing is shared until it is.</source>
        <translation>Le dossier partagé %1 est introuvable&#xa0;: rien n’est partagé jusqu’à son retour.</translation>
    </message>
    <message>
        <source>%1 is not a device&apos;s folder: left alone.</source>
        <translation>%1 n’est pas le dossier d’un ordinateur&#xa0;: laissé tel quel.</translation>
    </message>
    <message>
        <source>it names another device, %1</source>
        <translation>le fichier désigne un autre ordinateur, %1</translation>
    </message>
    <message>
        <source>%1 cannot be read (%2): that computer&apos;s days are left as they were.</source>
        <translation>%1 est illisible (%2)&#xa0;: les jours de cet ordinateur restent tels qu’ils étaient.</translation>
    </message>
    <message>
        <source>The history cannot be read to import %1: %2</source>
        <translation>L’historique ne peut pas être lu pour importer %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1 is not imported: %2.</source>
        <translation>%1 n’est pas importé&#xa0;: %2.</translation>
    </message>
    <message>
        <source>it holds another device&apos;s day</source>
        <translation>le fichier contient le jour d’un autre ordinateur</translation>
    </message>
    <message>
        <source>%1 cannot be imported into the history: %2</source>
        <translation>%1 ne peut pas être importé dans l’historique&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1/%2 is a sync tool&apos;s conflict copy: left alone.</source>
        <translation>%1/%2 est une copie de conflit d’un outil de synchronisation&#xa0;: laissée telle quelle.</translation>
    </message>
    <message>
        <source>%1/%2 is not one of its days: left alone.</source>
        <translation>%1/%2 n’est pas l’un de ses jours&#xa0;: laissé tel quel.</translation>
    </message>
</context>
<context>
    <name>SharedFolderSync</name>
    <message>
        <source>The shared folder holds later days of this computer&apos;s id (%1) than it recorded: another computer, started from a copy of this one&apos;s data folder, writes as it. This computer takes an id of its own.</source>
        <translation>Le dossier partagé contient, sous l’identifiant de cet ordinateur (%1), des jours plus récents que ceux qu’il a enregistrés&#xa0;: un autre ordinateur, démarré à partir d’une copie de son dossier de données, écrit sous le même identifiant. Cet ordinateur prend son propre identifiant.</translation>
    </message>
    <message>
        <source>This computer&apos;s days cannot be written to the shared folder: %1</source>
        <translation>Les jours de cet ordinateur ne peuvent pas être écrits dans le dossier partagé&#xa0;: %1</translation>
    </message>
    <message>
        <source>The shared folder cannot be written: %1</source>
        <translation>Impossible d’écrire dans le dossier partagé&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>it does not answer at %1: %2</source>
        <comment>Kestrum is already running, but it does not answer</comment>
        <translation>il ne répond pas à l’adresse %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>the path is too long for a socket</source>
        <translation>le chemin est trop long pour un socket</translation>
    </message>
    <message>
        <source>no reply</source>
        <comment>the running Kestrum did not answer</comment>
        <translation>aucune réponse</translation>
    </message>
</context>
<context>
    <name>SqliteStatement</name>
    <message>
        <source>while writing</source>
        <translation>lors de l’écriture</translation>
    </message>
    <message>
        <source>while reading</source>
        <translation>lors de la lecture</translation>
    </message>
    <message>
        <source>while syncing to the disk</source>
        <translation>lors de la synchronisation sur le disque</translation>
    </message>
    <message>
        <source>while truncating</source>
        <translation>lors de la troncature</translation>
    </message>
</context>
<context>
    <name>StandardOutput</name>
    <message>
        <source>cannot write to standard output: %1</source>
        <translation>impossible d’écrire sur la sortie standard&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>SumOfTimesLabel</name>
    <message>
        <source>The total of the selected entries, or of everything when nothing is selected. Click to clear the selection.</source>
        <translation>Le total des entrées sélectionnées, ou de toutes lorsque rien n’est sélectionné. Cliquez pour effacer la sélection.</translation>
    </message>
</context>
<context>
    <name>TimeTracker</name>
    <message>
        <source>Kestrum is now able to keep track of the active time spent in each document as well as in each application. However to enable this support you must turn on support for assistive devices in the Universal Access preference panel.</source>
        <translation>Kestrum peut désormais suivre le temps actif passé dans chaque document ainsi que dans chaque application. Pour cela, vous devez toutefois activer la prise en charge des technologies d’assistance dans les préférences d’accessibilité.</translation>
    </message>
    <message>
        <source>Open System Preferences</source>
        <translation>Ouvrir les Préférences Système</translation>
    </message>
    <message>
        <source>Disable and Don&apos;t Ask Again</source>
        <translation>Désactiver et ne plus demander</translation>
    </message>
    <message>
        <source>Ignore This Time</source>
        <translation>Ignorer pour cette fois</translation>
    </message>
</context>
<context>
    <name>TimelineStrip</name>
    <message>
        <source>Timeline</source>
        <translation>Frise chronologique</translation>
    </message>
    <message>
        <source>The day&apos;s stretches. Arrow keys move between them; Enter or the context menu offers what to do with the selection.</source>
        <translation>Les périodes de la journée. Les touches fléchées passent de l’une à l’autre&#x202f;; Entrée ou le menu contextuel propose les actions possibles sur la sélection.</translation>
    </message>
    <message>
        <source>
Added by you</source>
        <translation>
Ajouté par vous</translation>
    </message>
    <message>
        <source>
Added by you: %1</source>
        <translation>
Ajouté par vous&#xa0;: %1</translation>
    </message>
    <message>
        <source>
Your answer for time away</source>
        <translation>
Votre réponse pour l’absence</translation>
    </message>
    <message>
        <source>
Renamed by you; recorded as %1</source>
        <translation>
Renommé par vous&#x202f;; enregistré comme %1</translation>
    </message>
    <message>
        <source>
On %1</source>
        <translation>
Ordinateur&#xa0;: %1</translation>
    </message>
    <message>
        <source>
Partly covered by added time</source>
        <translation>
Partiellement couvert par du temps ajouté</translation>
    </message>
    <message>
        <source>
Covered by added time: not counted</source>
        <translation>
Couvert par du temps ajouté&#xa0;: non compté</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>application: window title</comment>
        <translation>%1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>Timesheet</name>
    <message>
        <source>Total</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Catégorie</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Application</translation>
    </message>
</context>
<context>
    <name>TimingTable</name>
    <message>
        <source>Total</source>
        <translation>Total</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Show Kestrum</source>
        <translation>Afficher Kestrum</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Kestrum is counting</source>
        <translation>Kestrum compte</translation>
    </message>
    <message>
        <source>Kestrum is paused</source>
        <translation>Kestrum est en pause</translation>
    </message>
</context>
<context>
    <name>WaylandConnection</name>
    <message>
        <source>cannot connect to the Wayland display &quot;%1&quot;: %2</source>
        <translation>impossible de se connecter à l’affichage Wayland «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>the Wayland compositor does not answer</source>
        <translation>le compositeur Wayland ne répond pas</translation>
    </message>
</context>
<context>
    <name>WlrootsDesktop</name>
    <message>
        <source>the Wayland compositor does not list its windows (it offers no %1)</source>
        <translation>le compositeur Wayland ne liste pas ses fenêtres (il ne propose pas %1)</translation>
    </message>
    <message>
        <source>the Wayland compositor does not answer</source>
        <translation>le compositeur Wayland ne répond pas</translation>
    </message>
</context>
<context>
    <name>X11Desktop</name>
    <message>
        <source>the display name is malformed</source>
        <translation>le nom d’affichage est mal formé</translation>
    </message>
    <message>
        <source>it has no such screen</source>
        <translation>l’écran demandé n’existe pas</translation>
    </message>
    <message>
        <source>no X server answers there</source>
        <translation>aucun serveur X n’y répond</translation>
    </message>
    <message>
        <source>cannot open the X display &quot;%1&quot;: %2</source>
        <translation>impossible d’ouvrir l’affichage X «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>the X display does not answer</source>
        <translation>l’affichage X ne répond pas</translation>
    </message>
</context>
<context>
    <name>kestrum</name>
    <message>
        <source>cannot connect to the Wayland display &quot;%1&quot;: %2</source>
        <translation>impossible de se connecter à l’affichage Wayland «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>this Qt cannot show windows on Wayland, and DISPLAY names no X server</source>
        <translation>cette version de Qt ne peut pas afficher de fenêtres sous Wayland, et DISPLAY n’indique aucun serveur X</translation>
    </message>
    <message>
        <source>no display to show Kestrum&apos;s window on (DISPLAY is not set)</source>
        <translation>aucun affichage où montrer la fenêtre de Kestrum (DISPLAY n’est pas défini)</translation>
    </message>
    <message>
        <source>Kestrum measures how long you actively work in each application and in each of its windows.</source>
        <translation>Kestrum mesure combien de temps vous travaillez activement dans chaque application et dans chacune de ses fenêtres.</translation>
    </message>
    <message>
        <source>Start counting at once.</source>
        <translation>Démarrer le comptage immédiatement.</translation>
    </message>
    <message>
        <source>Kestrum is already running, but %1</source>
        <translation>Kestrum est déjà lancé, mais %1</translation>
    </message>
    <message>
        <source>Kestrum is already running; its window was brought to the front</source>
        <translation>Kestrum est déjà lancé&#x202f;; sa fenêtre a été mise au premier plan</translation>
    </message>
    <message>
        <source>the history cannot be written now (%1); %2 as soon as it can be</source>
        <extracomment>%2 is what is done then, as &quot;it is forgotten&quot; or &quot;the time is assigned&quot;</extracomment>
        <translation>l’historique ne peut pas être écrit pour l’instant (%1)&#x202f;; %2 dès que possible</translation>
    </message>
    <message>
        <source>the history is busy; %1 as soon as what is being written is written</source>
        <extracomment>%1 is what is done then, as &quot;it is forgotten&quot; or &quot;the time is assigned&quot;</extracomment>
        <translation>l’historique est occupé&#x202f;; %1 dès que l’écriture en cours sera terminée</translation>
    </message>
    <message>
        <source>it is forgotten</source>
        <extracomment>what is done with a range of the history once it can be written</extracomment>
        <translation>cela sera oublié</translation>
    </message>
    <message>
        <source>the time is assigned</source>
        <extracomment>what is done with a range of the history once it can be written</extracomment>
        <translation>le temps sera attribué</translation>
    </message>
    <message>
        <source>the change is kept</source>
        <extracomment>what is done with a change of the added time once the history can be written</extracomment>
        <translation>la modification sera conservée</translation>
    </message>
    <message>
        <source>The connection to the display was lost: windows are no longer watched.</source>
        <translation>La connexion à l’affichage a été perdue&#xa0;: les fenêtres ne sont plus suivies.</translation>
    </message>
    <message>
        <source>Sleep, session switches and time-zone changes are not followed: the system bus does not answer (%1).</source>
        <translation>La veille, les changements de session et de fuseau horaire ne sont pas suivis&#xa0;: le bus système ne répond pas (%1).</translation>
    </message>
    <message>
        <source>the timings could not be saved: %1</source>
        <translation>les temps n’ont pas pu être enregistrés&#xa0;: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n second(s) of history could not be written and are lost: %1</source>
        <translation>
            <numerusform>%n seconde d’historique n’a pas pu être écrite et est perdue&#xa0;: %1</numerusform>
            <numerusform>%n secondes d’historique n’ont pas pu être écrites et sont perdues&#xa0;: %1</numerusform>
        </translation>
    </message>
</context>
</TS>
